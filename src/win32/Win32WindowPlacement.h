// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/NumberFormat.h"

#include <windows.h>

namespace cp {

class SettingsStore;

// Where the main window stands, kept in the settings in twips as on Linux:
// put back at the start (centred on the screen where never stored), written
// when the window goes.
class Win32WindowPlacement {
public:
    Win32WindowPlacement(HWND window, SettingsStore& settings, const NumberStyle& style)
        : m_window(window)
        , m_settings(settings)
        , m_style(style)
    {
    }
    // frame: the window's outer size now.
    void restore(SIZE frame) const;
    void save() const;

private:
    HWND m_window;
    SettingsStore& m_settings;
    NumberStyle m_style;
};

} // namespace cp
