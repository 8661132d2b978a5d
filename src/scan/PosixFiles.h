// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the POSIX file code shares between its files; no other file includes it.

#include "ScanResult.h"

#include <sys/stat.h>
#include <sys/types.h>

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

// A fresh name for a temporary in dir; never one a clean-up sweep ignores.
std::string temporaryName(const std::string& dir);

} // namespace cp::posix
