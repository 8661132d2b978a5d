// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace cp {

// The one separator these helpers know; '/' here, '\\' in a Windows build.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Everything after the last separator; the whole text when there is none.
std::string fileNamePart(const std::string& path);

// The path with exactly one trailing separator added unless it already ends in one.
// Named for the folder-path convention the rest of the program speaks of.
std::string withTrailingSeparator(const std::string& path);

// Whether the bytes are UTF-8 throughout. Paths and texts from files are
// bytes; what is shown or written into text formats must know which they are.
bool isValidUtf8(const std::string& text);

} // namespace cp
