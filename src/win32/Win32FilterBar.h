// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <string>

namespace cp {

// The row above the entry list: "Filter:" with its box, and "nur
// Abweichungen". Its parent hears of typing (EN_CHANGE) and of the check
// box (BN_CLICKED) under the ids given.
class Win32FilterBar {
public:
    void create(HWND parent, int filterId, int mismatchesId);
    void setFont(HFONT font, int dpi);
    // Places the row at the top of width pixels; its height.
    int place(int left, int top, int width) const;

    std::string text() const; // UTF-8, as typed
    bool mismatchesOnly() const;
    HWND filterBox() const { return m_filter; }
    HWND mismatchesBox() const { return m_mismatches; }

private:
    HWND m_label = nullptr;
    HWND m_filter = nullptr;
    HWND m_mismatches = nullptr;
    int m_dpi = 96;
    int m_fontHeight = 16;
    int m_labelWidth = 0;
    int m_checkWidth = 0;
};

} // namespace cp
