// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileIo.h"
#include "PosixFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace cp {

bool unnamedFilesCanBeNamed()
{
    return ::access("/proc/self/fd", X_OK) == 0;
}

namespace posix {

int linkUnnamedFile(int fd, const std::string& path)
{
    // Kernels since 6.10 name a file from its descriptor for its opener; that
    // spares the lookup through /proc, a good share of an entry's cost when
    // entries are small. Older ones refuse (ENOENT) unless the process may
    // read any folder, and then /proc is the way from there on.
    static std::atomic<bool> fromDescriptor {true};
    if (fromDescriptor.load(std::memory_order_relaxed)) {
        if (::linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0)
            return 0;
        if (errno != ENOENT)
            return -1;
    }
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    const int linked = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW);
    if (linked == 0)
        fromDescriptor.store(false, std::memory_order_relaxed);
    return linked;
}

} // namespace posix
} // namespace cp
