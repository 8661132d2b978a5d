// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiskRoom.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <limits>

namespace cp {

std::optional<std::int64_t> freeSpaceIn(const std::string& folder)
{
    struct statvfs room {};
    if (::statvfs(folder.c_str(), &room) != 0)
        return std::nullopt;
    constexpr auto kMost = std::uint64_t(std::numeric_limits<std::int64_t>::max());
    const std::uint64_t blocks = room.f_bavail, blockSize = room.f_frsize;
    if (blockSize != 0 && blocks > kMost / blockSize)
        return std::numeric_limits<std::int64_t>::max();
    return std::int64_t(blocks * blockSize);
}

std::optional<std::int64_t> regularFileSize(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return std::int64_t(status.st_size);
}

} // namespace cp
