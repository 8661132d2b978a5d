// SPDX-License-Identifier: GPL-3.0-or-later
// Preloaded into the program: flushing a file system to disk fails, as it
// does when a disk reports a write error only at that point.
#include <cerrno>

extern "C" int syncfs(int)
{
    errno = EIO;
    return -1;
}
