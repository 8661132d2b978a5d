// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace cp {

// The bytes the user may still write in the file system that holds folder
// (what is kept back for the administrator does not count); none when the
// system cannot tell.
std::optional<std::int64_t> freeSpaceIn(const std::string& folder);

// The size of the regular file at path (links followed); none for anything
// else, or when it cannot be told.
std::optional<std::int64_t> regularFileSize(const std::string& path);

} // namespace cp
