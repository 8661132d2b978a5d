// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the POSIX file code shares between its files; no other file includes it.

#include "FileIdentity.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <string>

namespace cp::posix {

// The identity FileIdentity records for a file of that status.
FileIdentity identityOf(const struct stat& st);

// Takes an exclusive lock on the whole open file without waiting. Locks of
// open file descriptions hold against other descriptions of the same process
// too, and across pid namespaces and (through the lock manager) NFS clients.
// false when another holds it, or the file system keeps no locks.
bool tryLockFile(int fd);

// Creates a new file under a fresh temporary name in dir (which ends in the
// separator), locked while fd stays open, so that no clean-up can take it.
// Returns the fd, -1 with errno set on failure.
int createLockedTemporary(const std::string& dir, std::string* path);

// Gives the unnamed file open as fd the name path, never replacing what has
// it: 0, or -1 with errno set (EEXIST: the name is taken).
int linkUnnamedFile(int fd, const std::string& path);

// A fresh name for a temporary in dir; never one a clean-up sweep ignores.
std::string temporaryName(const std::string& dir);

// Whether a flush failed only because the file system does not offer one
// (some FUSE file systems and network shares): what it holds is then as
// durable as it makes it, and no call makes it more so.
inline bool flushNotOffered(int error)
{
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

// Whether a change of permissions failed only because the file system keeps
// none (FAT: the kernel's driver refuses, FUSE's may not implement it).
inline bool permissionsNotKept(int error)
{
    return error == ENOSYS || error == EOPNOTSUPP || error == EPERM;
}

// Whether a link or rename failed only because the file system does not
// offer that kind (FAT: no hard links; FUSE: no rename that never replaces).
inline bool namingNotOffered(int error)
{
    return error == EINVAL || error == ENOSYS || error == EPERM || error == EOPNOTSUPP;
}

// Whether the kernel's protected_symlinks rule would follow the link at
// path, of that status: in a sticky folder anyone may write to, only a link
// of the user's own or of the folder's owner. Applied here, because links
// are read and followed here, where the kernel cannot apply it.
bool mayFollowLink(const std::string& path, const struct stat& link);

} // namespace cp::posix
