// SPDX-License-Identifier: GPL-3.0-or-later
#include "PathChecks.h"

#include "Win32Files.h"

#include "base/PathHelpers.h"

#include <windows.h>

namespace cp {

namespace {

// The attributes of what the path names (a link followed), or INVALID_FILE_ATTRIBUTES.
DWORD attributesOf(const std::string& path)
{
    std::wstring wide;
    std::string problem;
    if (path.empty() || !win32::toWide(path, &wide, &problem))
        return INVALID_FILE_ATTRIBUTES;
    // The system takes a folder with its trailing separator as well, as stat does.
    return ::GetFileAttributesW(wide.c_str());
}

} // namespace

bool pathExists(const std::string& path)
{
    const DWORD attributes = attributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    return path.back() != kPathSeparator || (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool folderExists(const std::string& path)
{
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace cp
