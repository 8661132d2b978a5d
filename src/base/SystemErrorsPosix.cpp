// SPDX-License-Identifier: GPL-3.0-or-later
#include "SystemErrors.h"

#include <cerrno>
#include <system_error>

namespace cp {

std::string systemErrorText(int systemError)
{
    // The thread-safe strerror_r behind it, in the user's language (LC_MESSAGES).
    return std::generic_category().message(systemError);
}

bool isQuotaExceeded(int systemError)
{
    return systemError == EDQUOT;
}

} // namespace cp
