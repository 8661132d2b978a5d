// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/PathHelpers.h"

#include <string>
#include <vector>

namespace cp {

// Whether the path names an existing file or folder; a path ending in the
// separator must name a folder. The empty path names nothing.
bool pathExists(const std::string& path);

// Whether the path names an existing folder (or a link to one). The empty
// path names nothing.
bool folderExists(const std::string& path);

// The names in a folder ("." for the empty path), without "." and "..";
// none where it cannot be read.
std::vector<std::string> namesIn(const std::string& folder);

} // namespace cp
