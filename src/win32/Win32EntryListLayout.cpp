// SPDX-License-Identifier: GPL-3.0-or-later
#include "Win32EntryListLayout.h"

#include "logic/EntryListRows.h"
#include "logic/SettingsStore.h"
#include "win32/Win32EntryListView.h"

#include <commctrl.h>

#include <algorithm>
#include <charconv>
#include <string>
#include <vector>

namespace cp {

namespace {

const char* const kPlacementKey = "EntryListPlacement";
const char* const kColumnsKey = "EntryListColumns";

// Numbers parted by commas; nothing when one of them is no number.
std::vector<int> numbersIn(const std::string& text)
{
    std::vector<int> numbers;
    const char* at = text.data();
    const char* const end = at + text.size();
    while (at < end) {
        int number = 0;
        const auto [next, error] = std::from_chars(at, end, number);
        if (error != std::errc() || (next != end && *next != ','))
            return {};
        numbers.push_back(number);
        at = next == end ? end : next + 1;
    }
    return numbers;
}

std::string joined(const std::vector<int>& numbers)
{
    std::string text;
    for (const int number : numbers)
        text += (text.empty() ? "" : ",") + std::to_string(number);
    return text;
}

} // namespace

void Win32EntryListLayout::restore(HWND window, HWND beside, Win32EntryListView& view, int dpi, int rowHeight) const
{
    view.setColumnWidths(numbersIn(m_settings.value(kColumnsKey, "")), dpi);
    const std::vector<int> place = numbersIn(m_settings.value(kPlacementKey, ""));
    RECT stored {};
    if (place.size() == 4 && place[2] > 0 && place[3] > 0)
        stored = {place[0], place[1], place[0] + place[2], place[1] + place[3]};
    // A place on a screen no longer there is none.
    if (!IsRectEmpty(&stored) && MonitorFromRect(&stored, MONITOR_DEFAULTTONULL)) {
        WINDOWPLACEMENT placement {};
        placement.length = sizeof placement;
        GetWindowPlacement(window, &placement);
        placement.rcNormalPosition = stored;
        placement.showCmd = SW_HIDE; // shown by the caller
        SetWindowPlacement(window, &placement);
        return;
    }
    const RECT first = firstPlace(beside ? beside : window, view, dpi, rowHeight);
    SetWindowPos(window, nullptr, first.left, first.top, first.right - first.left, first.bottom - first.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32EntryListLayout::save(HWND window, const Win32EntryListView& view, int dpi)
{
    // The place it has when neither minimized nor maximized, as restore() takes it.
    WINDOWPLACEMENT placement {};
    placement.length = sizeof placement;
    if (GetWindowPlacement(window, &placement)) {
        const RECT& place = placement.rcNormalPosition;
        m_settings.setValue(
            kPlacementKey,
            joined({int(place.left), int(place.top), int(place.right - place.left), int(place.bottom - place.top)}));
    }
    m_settings.setValue(kColumnsKey, joined(view.columnWidths(dpi)));
}

RECT Win32EntryListLayout::firstPlace(HWND beside, const Win32EntryListView& view, int dpi, int rowHeight)
{
    // Below the main window, about as wide as the columns, on the screen.
    const auto scaled = [dpi](int pixels) { return MulDiv(pixels, dpi, 96); };
    RECT main {};
    GetWindowRect(beside, &main);
    MONITORINFO monitor {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromRect(&main, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& screen = monitor.rcWork;
    int width = scaled(40) + GetSystemMetricsForDpi(SM_CXVSCROLL, UINT(dpi));
    for (const int column : view.columnWidths(96))
        width += scaled(column);
    width = std::min(width, int(screen.right - screen.left) - scaled(40));
    int height = std::min(24 * rowHeight, int(screen.bottom - screen.top) - scaled(80));
    int top = main.bottom + scaled(8);
    // Shorter rather than over the main window, where there is room below it for some rows.
    if (const int roomBelow = screen.bottom - scaled(40) - top; roomBelow >= 8 * rowHeight)
        height = std::min(height, roomBelow);
    const int left = std::max(int(screen.left), std::min(int(main.left), int(screen.right) - scaled(20) - width));
    top = std::max(int(screen.top), std::min(top, int(screen.bottom) - scaled(40) - height));
    return {left, top, left + width, top + height};
}

} // namespace cp
