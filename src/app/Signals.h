// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>

class QObject;
class QWidget;

namespace cp {

// What the system's signals do to the program. One implementation per
// platform, picked by the build: SignalsPosix.cpp, SignalsWin32.cpp.

// A write past the file-size limit fails like any other write instead of
// ending the process.
void keepRunningPastFileSizeLimit();

// The flag a batch run polls, set from now on by the signals that ask a
// process in a terminal to end: Ctrl+C, a kill, and closing the terminal
// too, so that a batch stops as cleanly either way.
const std::atomic<bool>* stopOnSignals();

// From now on the signals that ask a process to end close the window like
// the user does, so the entry files in the temporary folder go with it. The
// notifier that does it belongs to owner.
void closeOnSignals(QWidget& window, QObject& owner);

} // namespace cp
