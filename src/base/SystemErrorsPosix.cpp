// SPDX-License-Identifier: GPL-3.0-or-later
#include "SystemErrors.h"

#include <cerrno>
#include <cstring>

namespace cp {

std::string systemErrorText(int systemError)
{
    // strerror_r in its GNU form may return a static string instead of filling buf.
    char buf[256] = {};
    return ::strerror_r(systemError, buf, sizeof buf);
}

bool isQuotaExceeded(int systemError)
{
    return systemError == EDQUOT;
}

} // namespace cp
