// SPDX-License-Identifier: GPL-3.0-or-later
#include "SystemErrors.h"

#include <windows.h>

#include <cerrno>
#include <cstring>

#ifndef ERROR_DISK_QUOTA_EXCEEDED
#define ERROR_DISK_QUOTA_EXCEEDED 1295L // missing from MinGW's headers
#endif

namespace cp {

std::string systemErrorText(int systemError)
{
    // Windows' own errors come with their text; this is the C library's.
    char buf[256] = {};
    ::strerror_s(buf, sizeof buf, systemError);
    return buf;
}

bool isQuotaExceeded(int)
{
    return false;
}

int errnoForWindowsError(unsigned long error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND: return ENOENT;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY: return ENOTDIR;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return EACCES;
    case ERROR_WRITE_PROTECT: return EROFS;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_QUOTA_EXCEEDED: return ENOSPC; // a used-up quota counts as a full disk, as on Linux
    case ERROR_FILE_TOO_LARGE: return EFBIG;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return ENOMEM;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE: return EINVAL;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_IO_DEVICE:
    // A share that went away or did not answer in time: the device failed, as a network mount's EIO says.
    case ERROR_NETNAME_DELETED:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_NETWORK_UNREACHABLE:
    case ERROR_HOST_UNREACHABLE:
    case ERROR_SEM_TIMEOUT:
    case ERROR_NETWORK_BUSY:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_CONNECTION_ABORTED:
    case ERROR_NOT_CONNECTED: return EIO;
    default: return EINVAL; // reported as an access error, with the system's own text
    }
}

} // namespace cp
