// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <vector>

namespace cp {

// While it lives, every other window of the program takes no input: a dialog
// over the main window leaves the entry list as still as the main window,
// as a modal dialog does in the Qt face. The system's dialogs disable only
// their owner; this disables the rest, and enables them again before the
// owner gets the focus back.
class Win32ThreadModality {
public:
    // exempt: the window the dialog itself disables and enables (its owner), or none.
    explicit Win32ThreadModality(HWND exempt = nullptr);
    ~Win32ThreadModality();
    Win32ThreadModality(const Win32ThreadModality&) = delete;
    Win32ThreadModality& operator=(const Win32ThreadModality&) = delete;

private:
    HWND m_active; // the program's active window when the dialog came
    std::vector<HWND> m_disabled;
};

} // namespace cp
