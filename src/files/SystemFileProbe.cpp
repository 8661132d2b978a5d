// SPDX-License-Identifier: GPL-3.0-or-later
#include "SystemFileProbe.h"

#include "PathChecks.h"
#include "TempFolder.h"

#include <vector>

namespace cp {

namespace {

enum class Want { Files, FilesAndFolders };

// The first entry (in byte order of names) matching the last component of
// pattern; wildcards count in that component only, as a directory lookup does.
std::optional<std::string> firstMatch(const std::string& pattern, Want want)
{
    const auto cut = pattern.rfind(kPathSeparator);
    const std::string name = cut == std::string::npos ? pattern : pattern.substr(cut + 1);
    if (name.empty())
        return std::nullopt;
    const std::string folder = cut == std::string::npos ? std::string() : pattern.substr(0, cut + 1);

    if (name.find_first_of("*?") == std::string::npos) {
        // The name is not empty: the pattern does not end in a separator.
        if (!pathExists(pattern) || (want == Want::Files && folderExists(pattern)))
            return std::nullopt;
        return name;
    }

    std::optional<std::string> best;
    for (const std::string& candidate : namesIn(folder)) {
        if (!matchesWildcard(name, candidate))
            continue;
        if (best && candidate >= *best)
            continue;
        if (want == Want::Files && folderExists(folder + candidate))
            continue;
        best = candidate;
    }
    return best;
}

} // namespace

std::string SystemFileProbe::findFile(const std::string& pattern)
{
    return firstMatch(pattern, Want::Files).value_or(std::string());
}

bool SystemFileProbe::folderExists(const std::string& path)
{
    return cp::folderExists(path);
}

std::optional<std::string> SystemFileProbe::storedName(const std::string& pattern)
{
    // The file the prefix test accepted must win over a folder that sorts first.
    if (auto file = firstMatch(pattern, Want::Files))
        return file;
    return firstMatch(pattern, Want::FilesAndFolders);
}

std::string SystemFileProbe::tempFolder()
{
    return userTempFolder();
}

} // namespace cp
