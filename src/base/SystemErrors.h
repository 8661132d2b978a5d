// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace cp {

// What the platform's own error values mean. One implementation per
// platform, picked by the build: SystemErrorsPosix.cpp, SystemErrorsWin32.cpp.

// The system's text for an errno value, in the user's language where the
// C library speaks it.
std::string systemErrorText(int systemError);

// Whether an errno value stands for a used-up disk quota, which the report
// counts as a full disk. Windows has no such errno.
bool isQuotaExceeded(int systemError);

// The errno value that stands for a Windows error code (GetLastError(), a
// registry call's result), so that the report's numbers and the engine's
// handling come out as on Linux. Defined in Windows builds only.
int errnoForWindowsError(unsigned long error);

} // namespace cp
