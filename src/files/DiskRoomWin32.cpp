// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiskRoom.h"

#include "Win32Files.h"

#include <windows.h>

#include <algorithm>
#include <limits>

namespace cp {

std::optional<std::int64_t> freeSpaceIn(const std::string& folder)
{
    std::wstring wide;
    std::string problem;
    if (!win32::toWide(folder, &wide, &problem))
        return std::nullopt;
    ULARGE_INTEGER available {}; // for this user, under any quota
    if (!::GetDiskFreeSpaceExW(wide.c_str(), &available, nullptr, nullptr))
        return std::nullopt;
    constexpr auto kMost = std::uint64_t(std::numeric_limits<std::int64_t>::max());
    return std::int64_t(std::min<std::uint64_t>(available.QuadPart, kMost));
}

std::optional<std::int64_t> regularFileSize(const std::string& path)
{
    std::wstring wide;
    std::string problem;
    WIN32_FILE_ATTRIBUTE_DATA status {};
    if (!win32::toWide(path, &wide, &problem) || !::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &status)
        || (status.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return std::int64_t((std::uint64_t(status.nFileSizeHigh) << 32) | status.nFileSizeLow);
}

} // namespace cp
