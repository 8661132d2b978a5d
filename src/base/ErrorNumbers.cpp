// SPDX-License-Identifier: GPL-3.0-or-later
#include "ErrorNumbers.h"

#include "SystemErrors.h"

#include <cerrno>

namespace cp {

int errorNumberForSystemError(int systemError)
{
    if (isQuotaExceeded(systemError))
        return ErrorNumber::DiskFull;
    switch (systemError) {
    case ENOENT: return ErrorNumber::FileNotFound;
    case ENOTDIR: return ErrorNumber::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS: return ErrorNumber::PermissionDenied;
    case ENOSPC:
    case EFBIG: return ErrorNumber::DiskFull;
    case EIO: return ErrorNumber::DeviceIo;
    case ENOMEM: return ErrorNumber::OutOfMemory;
    default: return ErrorNumber::PathFileAccess;
    }
}

} // namespace cp
