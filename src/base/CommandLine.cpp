// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include "PathHelpers.h"

#include <algorithm>

namespace cp {

std::string invalidParametersMessage(const std::string& lineBreak)
{
    return "Ungültige Kommandozeilenparameter!" + lineBreak + lineBreak + kUsageLine;
}

std::string argumentText(const std::vector<std::string>& arguments)
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
template <typename Accept> bool firstAcceptedPrefix(const std::string& text, Accept accept, std::size_t* endsAt)
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

bool resolveCommandLine(const std::string& argumentText, FileProbe& probe, StartupState& state, std::string* cause)
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

        state.sourceFile = line;
        std::size_t sourceEnd {};
        const bool found = line.find(' ') != std::string::npos
            && firstAcceptedPrefix(
                               line, [&](const std::string& c) { return !probe.findFile(c).empty(); }, &sourceEnd);
        if (found && sourceEnd < line.size()) {
            state.sourceFile = line.substr(0, sourceEnd);
            const std::string rest = line.substr(sourceEnd + 1);
            if (!rest.empty()) {
                std::size_t folderEnd {};
                const bool folderFound = firstAcceptedPrefix(
                    rest, [&](const std::string& c) { return probe.folderExists(c); }, &folderEnd);
                state.targetFolder = folderFound ? rest.substr(0, folderEnd) : rest;
                if (!probe.folderExists(state.targetFolder))
                    return invalid("Zielverzeichnis", state.targetFolder);
                state.targetGiven = true;
            }
        }

        const auto stored = probe.storedName(state.sourceFile);
        if (!stored)
            return invalid("Quelldatei", state.sourceFile);
        const auto cut = state.sourceFile.rfind(kPathSeparator);
        state.sourceFile = cut == std::string::npos ? *stored : state.sourceFile.substr(0, cut + 1) + *stored;
    }

    if (state.targetFolder.empty())
        state.targetFolder = probe.tempFolder();
    return true;
}

} // namespace cp
