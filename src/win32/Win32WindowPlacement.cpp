// SPDX-License-Identifier: GPL-3.0-or-later
#include "Win32WindowPlacement.h"

#include "Win32Twips.h"

#include "logic/WindowPlace.h"

namespace cp {

namespace {

MONITORINFO monitorOf(HWND window)
{
    MONITORINFO monitor {};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    return monitor;
}

} // namespace

void Win32WindowPlacement::restore(SIZE frame) const
{
    const UINT dpi = ::GetDpiForWindow(m_window);
    const RECT screen = monitorOf(m_window).rcMonitor;
    const WindowPlace stored = WindowPlace::read(m_settings, m_style);
    const int left = stored.left ? twipsToPixels(*stored.left, dpi) : (screen.right - screen.left - frame.cx) / 2;
    const int top = stored.top ? twipsToPixels(*stored.top, dpi) : (screen.bottom - screen.top - frame.cy) / 2;
    ::SetWindowPos(m_window, nullptr, screen.left + left, screen.top + top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32WindowPlacement::save() const
{
    const UINT dpi = ::GetDpiForWindow(m_window);
    RECT place {};
    ::GetWindowRect(m_window, &place);
    if (::IsIconic(m_window)) {
        // Where it stands when not minimized, given in the work area's coordinates.
        WINDOWPLACEMENT placement {};
        placement.length = sizeof placement;
        ::GetWindowPlacement(m_window, &placement);
        const MONITORINFO monitor = monitorOf(m_window);
        place = placement.rcNormalPosition;
        ::OffsetRect(&place, monitor.rcWork.left - monitor.rcMonitor.left, monitor.rcWork.top - monitor.rcMonitor.top);
    }
    WindowPlace {MulDiv(place.left, 1440, int(dpi)), MulDiv(place.top, 1440, int(dpi))}.write(m_settings);
}

} // namespace cp
