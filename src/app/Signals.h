// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QObject;
class QWidget;

namespace cp {

// What the system's signals do to the Qt window (SignalsPosix.cpp); a
// Win32 window is asked to close by its own message. A batch run's:
// batch/StopSignals.h.

// From now on the signals that ask a process to end close the window like
// the user does, so the entry files in the temporary folder go with it. The
// notifier that does it belongs to owner.
void closeOnSignals(QWidget& window, QObject& owner);

} // namespace cp
