// SPDX-License-Identifier: GPL-3.0-or-later
#include "OriginalFile.h"

#include "EntryHeader.h"
#include "files/FileIo.h"

#include "base/PathHelpers.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace cp {

namespace {

bool endsWithNoCase(const std::string& name, const std::string& end)
{
    if (name.size() < end.size())
        return false;
    return std::equal(end.begin(), end.end(), name.end() - std::ptrdiff_t(end.size()), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

std::string forThisSystem(const std::string& name)
{
#ifdef _WIN32
    return portableFileName(name);
#else
    return name; // any bytes but '/' and NUL, which safeMemberName took out
#endif
}

void chooseName(OriginalFile& original, const std::string& numberStem, OriginalOptions options)
{
    const std::string extension = options.types ? riffExtension(original.structure.form) : ".wav";
    original.name = numberStem + extension;
    if (!options.names)
        return;
    if (original.member) {
        std::string name = forThisSystem(safeMemberName(original.member->name));
        if (!name.empty()) {
            if (options.types && !endsWithNoCase(name, extension))
                name += extension;
            original.name = name;
            original.nameFrom = OriginalFile::NameFrom::Member;
            return;
        }
    }
    // A title is no path: "AC/DC" keeps both halves.
    std::string title = original.structure.title;
    std::replace(title.begin(), title.end(), '/', '_');
    std::replace(title.begin(), title.end(), '\\', '_');
    title = forThisSystem(safeMemberName(title));
    if (!title.empty()) {
        original.name = title + extension;
        original.nameFrom = OriginalFile::NameFrom::Title;
    }
}

// CON, PRN, AUX, NUL, COM0 to COM9, LPT0 to LPT9, in any case, blanks after them ignored.
bool isDeviceName(std::string stem)
{
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    for (char& c : stem)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL")
        return true;
    const bool port = stem.starts_with("COM") || stem.starts_with("LPT");
    return port && stem.size() == 4 && stem[3] >= '0' && stem[3] <= '9';
}

} // namespace

OriginalFile planOriginal(const SourceReader& source, std::int64_t offset, std::int64_t length,
                          const std::string& numberStem, OriginalOptions options)
{
    OriginalFile original;
    original.length = length;
    original.structure = readRiffStructure(source, offset, length);
    if (options.trim || options.names)
        original.member = memberBefore(source, offset, source.size());
    if (options.trim) {
        const ContainerMember* member = original.member ? &*original.member : nullptr;
        if (member && member->headerIntact && member->size) {
            original.length = std::min(*member->size, length);
            original.lengthFrom = OriginalFile::LengthFrom::Member;
        } else {
            original.length = original.structure.trimmedLength;
            original.lengthFrom = OriginalFile::LengthFrom::Structure;
        }
    }
    chooseName(original, numberStem, options);
    return original;
}

std::string lengthReasonText(const OriginalFile& original)
{
    switch (original.lengthFrom) {
    case OriginalFile::LengthFrom::Entry: return "ganzer Eintrag";
    case OriginalFile::LengthFrom::Member: return "Länge laut Archivkopf";
    case OriginalFile::LengthFrom::Structure: return trimReasonText(original.structure.trimReason);
    }
    return {};
}

std::string numberedName(const std::string& name, int attempt)
{
    if (attempt <= 1)
        return name;
    const std::size_t dot = name.rfind('.');
    const std::size_t cut = dot == std::string::npos || dot == 0 ? name.size() : dot;
    return name.substr(0, cut) + " (" + std::to_string(attempt) + ")" + name.substr(cut);
}

std::string safeMemberName(const std::string& stored)
{
    std::string name = stored;
    while (!name.empty() && (name.back() == '/' || name.back() == '\\'))
        name.pop_back();
    name.erase(0, name.find_last_of("/\\") + 1); // npos + 1: nothing
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '_';
    if (name == "." || name == "..")
        return {};
    if (name.size() <= kMemberNameMost)
        return name;
    const std::size_t dot = name.rfind('.');
    const std::string extension
        = dot != std::string::npos && dot > 0 && name.size() - dot <= 16 ? name.substr(dot) : "";
    std::size_t cut = kMemberNameMost - extension.size();
    for (int i = 0; i < 3 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80; ++i)
        --cut;
    return name.substr(0, cut) + extension;
}

std::string portableFileName(const std::string& name)
{
    std::string portable = isValidUtf8(name) ? name : shownText(name);
    for (char& c : portable)
        if (std::string_view("<>:\"|?*/\\").find(c) != std::string_view::npos)
            c = '_';
    while (!portable.empty() && (portable.back() == '.' || portable.back() == ' '))
        portable.pop_back();
    return isDeviceName(portable.substr(0, portable.find('.'))) ? "_" + portable : portable;
}

} // namespace cp
