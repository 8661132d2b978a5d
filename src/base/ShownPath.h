// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace cp {

// A path's bytes as text to show: UTF-8 as it is, every byte that is not
// part of a valid UTF-8 sequence as U+FFFD, as a file manager shows it.
std::string shownPath(const std::string& path);

} // namespace cp
