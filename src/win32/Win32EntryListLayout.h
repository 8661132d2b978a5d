// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

namespace cp {

class SettingsStore;
class Win32EntryListView;

// Where the entry list stands and how wide its columns are, in the settings:
// "EntryListPlacement" as left,top,width,height in pixels and
// "EntryListColumns" as the widths at 96 dots an inch, both decimal and
// comma separated.
class Win32EntryListLayout {
public:
    explicit Win32EntryListLayout(SettingsStore& settings) : m_settings(settings) {}

    // Puts the list where it was last, or the first time below beside; rowHeight sizes it then.
    void restore(HWND window, HWND beside, Win32EntryListView& view, int dpi, int rowHeight) const;
    void save(HWND window, const Win32EntryListView& view, int dpi);

private:
    static RECT firstPlace(HWND beside, const Win32EntryListView& view, int dpi, int rowHeight);

    SettingsStore& m_settings;
};

} // namespace cp
