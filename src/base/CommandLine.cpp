// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include "PathHelpers.h"

#include <algorithm>

namespace cp {

std::string InvalidParametersMessage(const std::string& lineBreak)
{
    return "Ungültige Kommandozeilenparameter!" + lineBreak + lineBreak + kUsageLine;
}

std::string ArgumentText(const std::vector<std::string>& arguments)
{
    std::string text;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0)
            text += ' ';
        text += arguments[i];
    }
    return text;
}

namespace {

// Prefixes of text ending before each blank, left to right, then text whole.
// Returns the first for which accept() holds, or npos; *endsAt is the index
// of the blank that ends the accepted prefix (text.size() for the whole text).
template <typename Accept>
bool FirstAcceptedPrefix(const std::string& text, Accept accept, std::size_t* endsAt)
{
    for (std::size_t pos = text.find(' '); pos != std::string::npos; pos = text.find(' ', pos + 1)) {
        if (accept(text.substr(0, pos))) {
            *endsAt = pos;
            return true;
        }
    }
    if (accept(text)) {
        *endsAt = text.size();
        return true;
    }
    return false;
}

} // namespace

bool ResolveCommandLine(const std::string& argumentText, FileProbe& probe, StartupState& state, std::string* cause)
{
    const auto invalid = [cause](const char* what, const std::string& path) {
        if (cause)
            *cause = std::string(what) + " nicht gefunden: " + path;
        return false;
    };
    if (!argumentText.empty()) {
        // Quotes only serve to carry blanks through a shell; they need not pair.
        std::string line = argumentText;
        line.erase(std::remove(line.begin(), line.end(), '"'), line.end());

        state.SourceFile = line;
        std::size_t sourceEnd = 0;
        const bool found = line.find(' ') != std::string::npos
            && FirstAcceptedPrefix(line, [&](const std::string& c) { return !probe.findFile(c).empty(); },
                                   &sourceEnd);
        if (found && sourceEnd < line.size()) {
            state.SourceFile = line.substr(0, sourceEnd);
            const std::string rest = line.substr(sourceEnd + 1);
            if (!rest.empty()) {
                std::size_t folderEnd = 0;
                const bool folderFound = FirstAcceptedPrefix(
                    rest, [&](const std::string& c) { return probe.folderExists(c); }, &folderEnd);
                state.TargetFolder = folderFound ? rest.substr(0, folderEnd) : rest;
                if (!probe.folderExists(state.TargetFolder))
                    return invalid("Zielverzeichnis", state.TargetFolder);
                state.TargetGiven = true;
            }
        }

        const auto stored = probe.storedName(state.SourceFile);
        if (!stored)
            return invalid("Quelldatei", state.SourceFile);
        const auto cut = state.SourceFile.rfind(kPathSeparator);
        state.SourceFile = cut == std::string::npos ? *stored : state.SourceFile.substr(0, cut + 1) + *stored;
    }

    if (state.TargetFolder.empty())
        state.TargetFolder = probe.tempFolder();
    return true;
}

} // namespace cp
