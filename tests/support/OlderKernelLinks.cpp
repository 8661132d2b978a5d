// SPDX-License-Identifier: GPL-3.0-or-later
// Preloaded into a program: a file opened without a name cannot be named
// from its descriptor, as on kernels before 6.10 for a process that may not
// read every folder; /proc is the way.
#include <dlfcn.h>
#include <fcntl.h>

#include <cerrno>

extern "C" int linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags)
{
    if ((flags & AT_EMPTY_PATH) != 0) {
        errno = ENOENT;
        return -1;
    }
    using Linkat = int (*)(int, const char*, int, const char*, int);
    return reinterpret_cast<Linkat>(::dlsym(RTLD_NEXT, "linkat"))(fromFolder, from, toFolder, to, flags);
}
