// SPDX-License-Identifier: GPL-3.0-or-later
// Preloaded into a program: its files behave as on a FAT stick mounted
// through FUSE, which holds no unnamed files (here: no /proc to name them
// through), no hard links and no permissions, renames only the plain way,
// copies through the program's buffers only, takes at most 1,000 bytes a
// write and refuses to flush on request. With FAT_LIKE_RENAME=plain set, a rename
// onto a name taken fails, as on file systems that never rename over a file.
#include <dlfcn.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

int refuse(int error)
{
    errno = error;
    return -1;
}

} // namespace

extern "C" {

int access(const char* path, int mode)
{
    if (std::strcmp(path, "/proc/self/fd") == 0)
        return refuse(ENOENT);
    return reinterpret_cast<int (*)(const char*, int)>(::dlsym(RTLD_NEXT, "access"))(path, mode);
}

int link(const char*, const char*)
{
    return refuse(EPERM);
}

int linkat(int, const char*, int, const char*, int)
{
    return refuse(EPERM);
}

int rename(const char* from, const char* to)
{
    struct stat taken {};
    const char* mode = std::getenv("FAT_LIKE_RENAME");
    if (mode && std::strcmp(mode, "plain") == 0 && ::lstat(to, &taken) == 0)
        return refuse(EEXIST);
    return reinterpret_cast<int (*)(const char*, const char*)>(::dlsym(RTLD_NEXT, "rename"))(from, to);
}

int renameat2(int, const char*, int, const char*, unsigned int)
{
    return refuse(EINVAL);
}

ssize_t copy_file_range(int, off64_t*, int, off64_t*, size_t, unsigned int)
{
    return refuse(EXDEV);
}

ssize_t write(int fd, const void* data, size_t size)
{
    using Write = ssize_t (*)(int, const void*, size_t);
    return reinterpret_cast<Write>(::dlsym(RTLD_NEXT, "write"))(fd, data, size < 1000 ? size : 1000);
}

int fchmod(int, mode_t)
{
    return refuse(ENOSYS);
}

int fsync(int)
{
    return refuse(EINVAL);
}

int syncfs(int)
{
    return refuse(EINVAL);
}
}
