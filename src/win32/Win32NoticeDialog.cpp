// SPDX-License-Identifier: GPL-3.0-or-later
#include "Win32NoticeDialog.h"

#include "Win32Twips.h"

#include "base/CommandLine.h"
#include "base/WideText.h"

namespace cp {

namespace {

constexpr wchar_t kClassName[] = L"ChunkPickerNotice";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr int kNeverAgainId = 3; // not IDOK or IDCANCEL, which end the dialog

// The text with the line ends an edit control shows.
std::wstring withWindowsLineEnds(const std::string& text)
{
    std::wstring shown;
    for (wchar_t c : wideText(text)) {
        if (c == L'\r')
            continue;
        if (c == L'\n')
            shown += L'\r';
        shown += c;
    }
    return shown;
}

} // namespace

bool Win32NoticeDialog::show(const std::string& text)
{
    Win32NoticeDialog dialog(text);
    MSG message {};
    while (!dialog.m_done && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Enter confirms wherever the focus is; Tab goes from the box to OK.
        const bool ours = message.hwnd == dialog.m_window || ::IsChild(dialog.m_window, message.hwnd);
        if (ours && message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
            dialog.m_confirmed = true;
            break;
        }
        if (::IsDialogMessageW(dialog.m_window, &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    if (message.message == WM_QUIT)
        ::PostQuitMessage(int(message.wParam)); // for the loop it ends
    return dialog.m_confirmed && ::SendMessageW(dialog.m_neverAgain, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

Win32NoticeDialog::Win32NoticeDialog(const std::string& text)
{
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW type {};
    type.cbSize = sizeof type;
    type.lpfnWndProc = windowProcedure;
    type.hInstance = instance;
    type.hCursor = ::LoadCursorW(nullptr, IDC_ARROW); // an arrow, whatever the main window shows
    type.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
    type.lpszClassName = kClassName;
    ::RegisterClassExW(&type);
    const UINT dpi = ::GetDpiForSystem();
    RECT frame {0, 0, twipsToPixels(noticeLayout::kWidth, dpi), twipsToPixels(noticeLayout::kHeight, dpi)};
    ::AdjustWindowRectExForDpi(&frame, kStyle, FALSE, WS_EX_DLGMODALFRAME, dpi);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    m_window = ::CreateWindowExW(WS_EX_DLGMODALFRAME, kClassName, wideText(kApplicationTitle).c_str(), kStyle,
                                 (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                 (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr,
                                 instance, this);
    m_font = createLayoutFont(dpi);
    auto child
        = [&](const wchar_t* controlClass, const std::wstring& caption, DWORD style, const TwipsRect& place, int id) {
              const RECT at = pixelRect(place, dpi);
              HWND control = ::CreateWindowExW(0, controlClass, caption.c_str(), WS_CHILD | WS_VISIBLE | style, at.left,
                                               at.top, at.right - at.left, at.bottom - at.top, m_window,
                                               HMENU(INT_PTR(id)), instance, nullptr);
              ::SendMessageW(control, WM_SETFONT, WPARAM(m_font), FALSE);
              return control;
          };
    HWND icon = child(L"STATIC", L"", SS_ICON | SS_REALSIZECONTROL, noticeLayout::kIcon, 0);
    ::SendMessageW(icon, STM_SETICON, WPARAM(::LoadIconW(instance, MAKEINTRESOURCEW(1))), 0);
    child(L"EDIT", withWindowsLineEnds(text), ES_MULTILINE | ES_READONLY, noticeLayout::kText, 0);
    m_neverAgain = child(L"BUTTON", wideText(noticeLayout::kNeverAgain), BS_AUTOCHECKBOX | WS_TABSTOP,
                         noticeLayout::kNeverAgainBox, kNeverAgainId);
    child(L"BUTTON", L"OK", BS_PUSHBUTTON | WS_TABSTOP, noticeLayout::kOkButton, IDOK);
    ::ShowWindow(m_window, SW_SHOW);
    ::SetForegroundWindow(m_window);
    ::SetFocus(m_neverAgain); // the focus starts on the box
}

Win32NoticeDialog::~Win32NoticeDialog()
{
    ::DestroyWindow(m_window);
    ::DeleteObject(m_font);
}

LRESULT CALLBACK Win32NoticeDialog::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        ::SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<Win32NoticeDialog*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        self->m_confirmed = LOWORD(wParam) == IDOK;
        self->m_done = true;
        return 0;
    }
    if (self && message == WM_ACTIVATE) {
        // The focus comes back where it was, first on the box, as in a dialog.
        if (LOWORD(wParam) == WA_INACTIVE)
            self->m_focus = ::GetFocus();
        else
            ::SetFocus(self->m_focus ? self->m_focus : self->m_neverAgain);
        return 0;
    }
    if (self && message == WM_CLOSE) {
        self->m_done = true;
        return 0;
    }
    if (message == WM_CTLCOLORSTATIC) { // the read-only text on the dialog's face
        ::SetBkColor(HDC(wParam), ::GetSysColor(COLOR_BTNFACE));
        return LRESULT(::GetSysColorBrush(COLOR_BTNFACE));
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace cp
