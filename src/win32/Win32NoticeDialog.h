// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <string>

namespace cp {

// The notice shown once after Save: the program's icon, the text, "Diese
// Meldung nie wieder zeigen" and OK, laid out as on Linux. Modal, without an
// owner; Enter confirms wherever the focus is.
class Win32NoticeDialog {
public:
    // True when the user ticked the box and confirmed with OK or Enter.
    static bool show(const std::string& text);

private:
    explicit Win32NoticeDialog(const std::string& text);
    ~Win32NoticeDialog();
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
    HWND m_neverAgain = nullptr;
    HWND m_focus = nullptr; // where the focus was when another window took it
    HFONT m_font = nullptr;
    bool m_done = false;
    bool m_confirmed = false;
};

} // namespace cp
