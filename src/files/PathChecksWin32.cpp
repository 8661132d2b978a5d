// SPDX-License-Identifier: GPL-3.0-or-later
#include "PathChecks.h"

#include "Win32Files.h"

#include "base/PathHelpers.h"
#include "base/WideText.h"

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

std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    std::wstring wide;
    std::string problem;
    if (!win32::toWide(withTrailingSeparator(folder.empty() ? "." : folder) + "*", &wide, &problem))
        return names;
    WIN32_FIND_DATAW found {};
    HANDLE search = ::FindFirstFileExW(wide.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = utf8Text(found.cFileName);
        if (name != "." && name != "..")
            names.push_back(name);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

} // namespace cp
