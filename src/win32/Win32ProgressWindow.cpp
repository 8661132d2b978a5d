// SPDX-License-Identifier: GPL-3.0-or-later
#include "Win32ProgressWindow.h"

#include "Win32Twips.h"

#include "base/WideText.h"

#include <commctrl.h>

namespace cp {

namespace {

constexpr wchar_t kClassName[] = L"ChunkPickerProgress";
constexpr int kSteps = 1000;
constexpr auto kShowAfter = std::chrono::seconds(1);
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | DS_MODALFRAME;

} // namespace

Win32ProgressWindow::Win32ProgressWindow(HWND owner, const std::string& label)
    : m_owner(owner)
    , m_label(wideText(label))
{
}

Win32ProgressWindow::~Win32ProgressWindow()
{
    m_modality.reset(); // before the window goes, so that the owner gets the focus back
    if (!m_window)
        return;
    ::DestroyWindow(m_window);
    ::DeleteObject(m_font);
}

void Win32ProgressWindow::open()
{
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW type {};
    type.cbSize = sizeof type;
    type.lpfnWndProc = windowProcedure;
    type.hInstance = instance;
    type.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
    type.lpszClassName = kClassName;
    ::RegisterClassExW(&type);
    // From now on the program's windows take no clicks but this one's, though they repaint.
    m_modality = std::make_unique<Win32ThreadModality>();
    const UINT dpi = m_owner ? ::GetDpiForWindow(m_owner) : ::GetDpiForSystem();
    RECT frame {0, 0, twipsToPixels(5400, dpi), twipsToPixels(1500, dpi)};
    ::AdjustWindowRectExForDpi(&frame, kStyle, FALSE, WS_EX_DLGMODALFRAME, dpi);
    RECT over {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (m_owner)
        ::GetWindowRect(m_owner, &over);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    m_window
        = ::CreateWindowExW(WS_EX_DLGMODALFRAME, kClassName, L"Kopieren", kStyle, (over.left + over.right - width) / 2,
                            (over.top + over.bottom - height) / 2, width, height, m_owner, nullptr, instance, this);
    m_font = createLayoutFont(dpi);
    auto child = [&](const wchar_t* controlClass, const wchar_t* text, DWORD style, const TwipsRect& place, int id) {
        const RECT at = pixelRect(place, dpi);
        HWND control = ::CreateWindowExW(0, controlClass, text, WS_CHILD | WS_VISIBLE | style, at.left, at.top,
                                         at.right - at.left, at.bottom - at.top, m_window, HMENU(INT_PTR(id)), instance,
                                         nullptr);
        ::SendMessageW(control, WM_SETFONT, WPARAM(m_font), FALSE);
        return control;
    };
    child(L"STATIC", m_label.c_str(), SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, {150, 120, 5100, 240}, 0);
    m_bar = child(PROGRESS_CLASSW, L"", 0, {150, 480, 5100, 255}, 0);
    ::SendMessageW(m_bar, PBM_SETRANGE32, 0, kSteps);
    child(L"BUTTON", L"Abbrechen", BS_DEFPUSHBUTTON | WS_TABSTOP, {3900, 945, 1350, 375}, IDCANCEL);
    ::ShowWindow(m_window, SW_SHOW);
}

bool Win32ProgressWindow::update(std::int64_t done, std::int64_t total)
{
    if (!m_window && std::chrono::steady_clock::now() - m_started >= kShowAfter)
        open();
    if (m_window)
        ::SendMessageW(m_bar, PBM_SETPOS, WPARAM(total > 0 ? int(double(done) / double(total) * kSteps) : 0), 0);
    // What is pending, among it a click on Cancel; a quit is left for the
    // loop it ends. Before the window shows, the program repaints but takes
    // no clicks or keys.
    const UINT pending = m_window ? PM_REMOVE : PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE | PM_QS_POSTMESSAGE;
    MSG message {};
    while (::PeekMessageW(&message, nullptr, 0, 0, pending)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(int(message.wParam));
            m_cancelled = true;
            break;
        }
        if (m_window && ::IsDialogMessageW(m_window, &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return !m_cancelled;
}

LRESULT CALLBACK Win32ProgressWindow::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        ::SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<Win32ProgressWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && ((message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) || message == WM_CLOSE)) {
        self->m_cancelled = true;
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace cp
