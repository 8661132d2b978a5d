// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>

namespace cp {

// What the system's signals do to a run without a window. One
// implementation per platform, picked by the build: StopSignalsPosix.cpp,
// StopSignalsWin32.cpp.

// A write past the file-size limit fails like any other write instead of
// ending the process.
void keepRunningPastFileSizeLimit();

// The flag a batch run polls, set from now on by the signals that ask a
// process in a terminal to end: Ctrl+C, a kill, and closing the terminal
// too, so that a batch stops as cleanly either way.
const std::atomic<bool>* stopOnSignals();

} // namespace cp
