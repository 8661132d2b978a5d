// SPDX-License-Identifier: GPL-3.0-or-later
#include "Win32MainWindow.h"

#include "Win32Twips.h"
#include "Win32WindowPlacement.h"

#include "base/CommandLine.h"
#include "base/WideText.h"

#include <commctrl.h>
#include <shellapi.h>

namespace cp {

namespace layout = mainWindowLayout;

namespace {

constexpr wchar_t kClassName[] = L"ChunkPickerMainWindow";
constexpr UINT kOpenDropped = WM_APP + 1; // the drop is over: the file is opened now
constexpr UINT_PTR kPlaybackTimer = 1;
constexpr UINT kPlaybackIntervalMs = 100;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kExStyle = WS_EX_ACCEPTFILES;

// The frame's size for a client area of the designed size at dpi.
SIZE frameSize(UINT dpi)
{
    RECT frame {0, 0, twipsToPixels(layout::kWidth, dpi), twipsToPixels(layout::kHeight, dpi)};
    ::AdjustWindowRectExForDpi(&frame, kStyle, FALSE, kExStyle, dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

} // namespace

Win32MainWindow::Win32MainWindow(HINSTANCE instance, Context context) : m_context(context)
{
    WNDCLASSEXW type {};
    type.cbSize = sizeof type;
    type.style = CS_DBLCLKS;
    type.lpfnWndProc = windowProcedure;
    type.hInstance = instance;
    type.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
    type.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
    type.lpszClassName = kClassName;
    ::RegisterClassExW(&type);
    m_window = ::CreateWindowExW(kExStyle, kClassName, wideText(kApplicationTitle).c_str(), kStyle, CW_USEDEFAULT,
                                 CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, this);
    const SIZE frame = frameSize(::GetDpiForWindow(m_window));
    ::SetWindowPos(m_window, nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_form = std::make_unique<Win32MainForm>();
    m_form->build(m_window, instance);
    MainWindowFace& face = *this;
    m_logic = std::make_unique<MainWindowLogic>(context, face);
}

Win32MainWindow::~Win32MainWindow()
{
    m_entryList.reset(); // before the scan it shows
    m_logic.reset();
    ::DestroyWindow(m_window);
}

std::optional<int> Win32MainWindow::start()
{
    Win32WindowPlacement(m_window, m_context.settings, m_context.style).restore(frameSize(::GetDpiForWindow(m_window)));
    showView(m_logic->view());
    ::SetTimer(m_window, kPlaybackTimer, kPlaybackIntervalMs, nullptr);
    ::ShowWindow(m_window, SW_SHOW);
    ::UpdateWindow(m_window);
    return m_logic->start();
}

int Win32MainWindow::run()
{
    MSG message {};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0)
        dispatch(message);
    return int(message.wParam);
}

void Win32MainWindow::dispatch(MSG& message)
{
    if (m_entryList && m_entryList->takesMessage(message))
        return;
    const bool ours = message.hwnd == m_window || ::IsChild(m_window, message.hwnd);
    if (ours && ::TranslateAcceleratorW(m_window, m_form->keys(), &message))
        return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

LRESULT CALLBACK Win32MainWindow::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Win32MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_window = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(self));
    }
    auto* self = reinterpret_cast<Win32MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || !self->m_logic)
        return ::DefWindowProcW(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT Win32MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (Win32MainForm::isCommandId(id))
            runCommand(Win32MainForm::commandOf(id));
        else if (id == Win32MainForm::kLoopBoxId && HIWORD(wParam) == BN_CLICKED)
            m_logic->loopClicked(m_form->toggleLoop());
        else if (HIWORD(wParam) == STN_DBLCLK && ::GetDlgCtrlID(HWND(lParam)) == 0) {
            POINT at {};
            ::GetCursorPos(&at);
            ::ScreenToClient(m_window, &at);
            if (m_form->onEntryGroup(at))
                runCommand(Command::EntryList);
        }
        return 0;
    }
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == TTN_GETDISPINFOW && Win32MainForm::isCommandId(int(header->idFrom))) {
            // The button's tooltip: the command's text, kept for as long as the tip shows.
            static std::wstring text;
            text = wideText(windowCommands()[std::size_t(Win32MainForm::commandOf(int(header->idFrom)))].text);
            reinterpret_cast<NMTTDISPINFOW*>(lParam)->lpszText = text.data();
        }
        return 0;
    }
    case WM_CONTEXTMENU: {
        // A menu runs a loop of its own, which would hold the scan up: F4 and
        // a double-click open the entry list meanwhile.
        if (m_logic->scanning())
            return 0;
        POINT at {short(LOWORD(lParam)), short(HIWORD(lParam))};
        if (at.x == -1 && at.y == -1) { // from the keyboard: at the window's corner
            RECT place {};
            ::GetWindowRect(m_window, &place);
            at = {place.left + 8, place.top + 8};
        }
        if (const auto command = m_form->popUpCommandMenu(at, m_logic->commandsUsable(), m_logic->view()))
            runCommand(*command);
        return 0;
    }
    case WM_LBUTTONDBLCLK: {
        const POINT at {short(LOWORD(lParam)), short(HIWORD(lParam))};
        if (m_form->onEntryGroup(at))
            runCommand(Command::EntryList);
        return 0;
    }
    case WM_DROPFILES: dropped(HDROP(wParam)); return 0;
    case kOpenDropped: m_logic->openDropped(m_droppedFile); return 0;
    case WM_TIMER:
        if (wParam == kPlaybackTimer)
            m_logic->showPlayback();
        return 0;
    case WM_SETCURSOR:
        if (m_busyPointer && LOWORD(lParam) == HTCLIENT) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_DPICHANGED: {
        // Everything made anew at the new resolution, where the system proposes.
        const RECT* proposed = reinterpret_cast<const RECT*>(lParam);
        while (HWND control = ::GetWindow(m_window, GW_CHILD))
            ::DestroyWindow(control);
        m_form = std::make_unique<Win32MainForm>();
        m_form->build(m_window, HINSTANCE(::GetWindowLongPtrW(m_window, GWLP_HINSTANCE)));
        m_form->show(m_logic->view());
        ::SetFocus(m_window); // the control that had it is gone: keys still reach the window
        const SIZE frame = frameSize(HIWORD(wParam));
        ::SetWindowPos(m_window, nullptr, proposed->left, proposed->top, frame.cx, frame.cy,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_ENDSESSION:
        // Logging off: the settings are written as at a close; entry files
        // left behind go at the next start.
        if (wParam)
            m_logic->requestClose();
        return 0;
    case WM_CLOSE:
        if (m_logic->requestClose()) {
            ::ShowWindow(m_window, SW_HIDE);
            ::PostQuitMessage(0);
        }
        return 0;
    default: break;
    }
    return ::DefWindowProcW(m_window, message, wParam, lParam);
}

void Win32MainWindow::runCommand(Command command)
{
    // A greyed button's key does nothing, as its button does.
    if (m_logic->view().isEnabled(command))
        m_logic->run(command);
}

void Win32MainWindow::dropped(HDROP drop)
{
    std::wstring path(::DragQueryFileW(drop, 0, nullptr, 0), L'\0');
    ::DragQueryFileW(drop, 0, path.data(), UINT(path.size() + 1));
    ::DragFinish(drop);
    const std::string file = utf8Text(path);
    if (path.empty() || !m_logic->takesDrop(file))
        return;
    // Scanned once the drop is over, so that Explorer is not kept waiting.
    m_droppedFile = file;
    ::PostMessageW(m_window, kOpenDropped, 0, 0);
}

void Win32MainWindow::showView(const MainWindowView& view)
{
    m_form->show(view);
    if (view.busyPointer != m_busyPointer) {
        m_busyPointer = view.busyPointer;
        POINT at {};
        ::GetCursorPos(&at);
        ::SetCursorPos(at.x, at.y); // the pointer is asked again at once
    }
}

void Win32MainWindow::keepAnswering()
{
    MSG message {};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(int(message.wParam)); // for the loop it ends
            return;
        }
        dispatch(message);
    }
}

void Win32MainWindow::keepRepainting()
{
    MSG message {};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE))
        ::DispatchMessageW(&message);
}

void Win32MainWindow::scanChanging()
{
    if (m_entryList)
        m_entryList->scanChanging();
}

void Win32MainWindow::scanChanged()
{
    if (m_entryList)
        m_entryList->scanChanged();
}

void Win32MainWindow::currentEntryChanged(std::int64_t entry)
{
    if (m_entryList)
        m_entryList->followCurrentEntry(entry);
}

void Win32MainWindow::showEntryList()
{
    if (!m_entryList) {
        Win32EntryListWindow::Listener& listener = *this;
        m_entryList = std::make_unique<Win32EntryListWindow>(m_window, m_logic->entries(), m_context.settings,
                                                             m_context.style, listener);
    }
    m_entryList->open();
}

void Win32MainWindow::saveChosen(const std::vector<std::int64_t>& entries)
{
    m_logic->saveEntries(entries, DialogOwner::EntryList);
}

void Win32MainWindow::originalsChosen(const std::vector<std::int64_t>& entries)
{
    m_logic->saveOriginals(entries, DialogOwner::EntryList);
}

void Win32MainWindow::windowUnloading()
{
    Win32WindowPlacement(m_window, m_context.settings, m_context.style).save();
    if (m_entryList) {
        m_entryList->saveLayout();
        m_entryList->hide();
    }
    ::KillTimer(m_window, kPlaybackTimer);
}

void Win32MainWindow::endProgram(int status)
{
    ::ShowWindow(m_window, SW_HIDE);
    ::PostQuitMessage(status);
}

} // namespace cp
