// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

namespace cp {

// The file-system questions the command line asks. An interface so that the
// resolution can be fuzzed and tested against an invented directory tree.
class FileProbe {
public:
    virtual ~FileProbe() = default;

    // Name (last path component) of the first non-folder entry matching the
    // pattern, whose last component may hold the wildcards * and ?; empty when
    // nothing matches.
    virtual std::string findFile(const std::string& pattern) = 0;

    // Whether the path names an existing folder.
    virtual bool folderExists(const std::string& path) = 0;

    // Name as stored on disk of the first file or folder matching the pattern.
    virtual std::optional<std::string> storedName(const std::string& pattern) = 0;

    // The user's temporary folder.
    virtual std::string tempFolder() = 0;
};

// Whether name matches pattern, where * stands for any run of characters and ?
// for exactly one; every other character matches only itself.
bool matchesWildcard(const std::string& pattern, const std::string& name);

} // namespace cp
