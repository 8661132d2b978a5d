// SPDX-License-Identifier: GPL-3.0-or-later
#include "Win32EntryListWindow.h"

#include "logic/SettingsStore.h"
#include "playback/SoundFile.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

namespace cp {

namespace {

constexpr UINT kFilterDelayMs = 200; // typing on does not filter 100,000 rows at every key
constexpr UINT_PTR kFilterTimer = 1;
constexpr UINT_PTR kLearnTimer = 2;
constexpr int kFilterId = 101;
constexpr int kMismatchesId = 102;
constexpr int kListId = 103;
const wchar_t* const kClassName = L"ChunkPickerEntryList";
} // namespace

Win32EntryListWindow::Win32EntryListWindow(HWND beside, const ShownScan& entries, SettingsStore& settings,
                                           const NumberStyle& style, Listener& listener)
    : m_entries(entries)
    , m_settings(settings)
    , m_style(style)
    , m_listener(listener)
    , m_owner(beside)
    , m_rows(std::make_unique<EntryListRows>(entries.scan(), style, soundLengthMs))
{
    m_rows->setLearningNotice([this](bool learning) { learningChanged(learning); });
    const INITCOMMONCONTROLSEX controls {sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass); // already there from an earlier list: fine
    CreateWindowExW(0, kClassName, L"Einträge", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                    640, 480, beside, nullptr, windowClass.hInstance, this);
    if (m_window)
        buildControls();
}

Win32EntryListWindow::~Win32EntryListWindow()
{
    if (m_window)
        DestroyWindow(m_window);
    if (m_font)
        DeleteObject(m_font);
}

void Win32EntryListWindow::buildControls()
{
    m_bar.create(m_window, kFilterId, kMismatchesId);
    m_lastFocus = m_bar.filterBox();
    m_dpi = int(GetDpiForWindow(m_window));
    applyFont();
    m_view.create(m_window, kListId, m_font, m_dpi);
    arrangeControls();
}

void Win32EntryListWindow::applyFont()
{
    NONCLIENTMETRICSW metrics {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, UINT(m_dpi));
    const HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    m_bar.setFont(font, m_dpi);
    if (m_view.handle())
        SendMessageW(m_view.handle(), WM_SETFONT, WPARAM(font), TRUE);
    if (m_font)
        DeleteObject(m_font);
    m_font = font;
    m_rowHeight = std::abs(int(metrics.lfMessageFont.lfHeight)) + scaled(8);
    arrangeControls();
}

void Win32EntryListWindow::arrangeControls()
{
    if (!m_view.handle())
        return;
    RECT client {};
    GetClientRect(m_window, &client);
    const int margin = scaled(6);
    const int listTop = margin + m_bar.place(margin, margin, int(client.right) - 2 * margin) + margin;
    MoveWindow(m_view.handle(), margin, listTop, std::max(0, int(client.right) - 2 * margin),
               std::max(0, int(client.bottom) - margin - listTop), TRUE);
}

LRESULT CALLBACK Win32EntryListWindow::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Win32EntryListWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(self));
    }
    auto* self = reinterpret_cast<Win32EntryListWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // Gone with the main window that owns it: nothing is left to destroy.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->m_window = nullptr;
        self->m_view.forget();
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->handle(message, wParam, lParam);
}

LRESULT Win32EntryListWindow::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE: arrangeControls(); return 0;
    case WM_GETMINMAXINFO: reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {scaled(320), scaled(160)}; return 0;
    case WM_TIMER:
        if (wParam == kFilterTimer)
            applyFilter();
        else if (wParam == kLearnTimer && m_rows->learnSlice())
            sortRows(m_rows->sortColumn(), m_rows->sortAscending());
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kFilterId && HIWORD(wParam) == EN_CHANGE)
            SetTimer(m_window, kFilterTimer, kFilterDelayMs, nullptr);
        else if (LOWORD(wParam) == kMismatchesId && HIWORD(wParam) == BN_CLICKED)
            applyFilter();
        return 0;
    case WM_NOTIFY: return notified(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_CONTEXTMENU:
        if (HWND(wParam) != m_view.handle())
            break;
        saveSelection(m_view.menuChoice(lParam, m_window));
        return 0;
    case WM_SETCURSOR:
        if (!m_rows->learning() || LOWORD(lParam) != HTCLIENT)
            break;
        SetCursor(LoadCursorW(nullptr, IDC_WAIT)); // playing times being learned for a sort
        return TRUE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            SetFocus(m_lastFocus);
        else if (const HWND focus = GetFocus(); focus && IsChild(m_window, focus))
            m_lastFocus = focus;
        return 0;
    case WM_DPICHANGED: {
        const int before = m_dpi;
        m_dpi = HIWORD(wParam);
        m_view.setColumnWidths(m_view.columnWidths(before), m_dpi);
        const RECT& place = *reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(m_window, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        applyFont();
        return 0;
    }
    case WM_CLOSE:
        saveLayout();
        hide(); // kept for the next opening, with its filter and sort
        return 0;
    default: break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

LRESULT Win32EntryListWindow::notified(const NMHDR& notice)
{
    if (notice.hwndFrom != m_view.handle() || m_view.answer(notice))
        return 0;
    switch (notice.code) {
    case LVN_COLUMNCLICK:
        m_following = true; // the focus stays with its entry
        m_view.sortByClick(reinterpret_cast<const NMLISTVIEW&>(notice).iSubItem);
        m_following = false;
        return 0;
    case LVN_ITEMCHANGED: {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(notice);
        if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_FOCUSED) && !(change.uOldState & LVIS_FOCUSED))
            rowFocused(change.iItem);
        return 0;
    }
    case NM_DBLCLK:
        if (reinterpret_cast<const NMITEMACTIVATE&>(notice).iItem >= 0)
            m_listener.commandChosen(Command::Play);
        return 0;
    case NM_RETURN: m_listener.commandChosen(Command::Play); return 0;
    default: return 0;
    }
}

bool Win32EntryListWindow::takesMessage(MSG& message)
{
    if (!m_view.handle() || (message.hwnd != m_window && !IsChild(m_window, message.hwnd)))
        return false;
    if (message.message == WM_KEYDOWN) {
        const bool control = GetKeyState(VK_CONTROL) < 0;
        if (message.wParam == VK_RETURN && !control) {
            // Return in the filter box filters at once rather than playing.
            if (message.hwnd == m_bar.filterBox())
                applyFilter();
            else
                m_listener.commandChosen(Command::Play);
            return true;
        }
        if (message.wParam == VK_ESCAPE) {
            m_listener.commandChosen(Command::Stop);
            return true;
        }
        if (message.wParam == 'S' && control) {
            saveSelection();
            return true;
        }
    }
    // Tab between the controls, Alt+F into the filter box.
    return IsDialogMessageW(m_window, &message);
}

void Win32EntryListWindow::open()
{
    if (!m_view.handle())
        return;
    if (!m_layoutRestored) {
        m_layoutRestored = true;
        m_layout.restore(m_window, m_owner, m_view, m_dpi, m_rowHeight);
    }
    ShowWindow(m_window, IsIconic(m_window) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(m_window);
    followCurrentEntry(m_entries.current());
}

void Win32EntryListWindow::saveLayout()
{
    if (m_layoutRestored && m_view.handle()) // never opened: nothing of its own to keep
        m_layout.save(m_window, m_view, m_dpi);
}

void Win32EntryListWindow::applyFilter()
{
    KillTimer(m_window, kFilterTimer);
    const std::string text = m_bar.text();
    const bool mismatchesOnly = m_bar.mismatchesOnly();
    m_following = true;
    m_view.filter(text, mismatchesOnly);
    m_following = false;
    followCurrentEntry(m_entries.current());
}

void Win32EntryListWindow::scanChanging()
{
    m_rows->scanChanging();
    resetRows(); // nothing is asked of a scan being replaced
}

void Win32EntryListWindow::scanChanged()
{
    m_rows->scanChanged();
    resetRows();
    followCurrentEntry(m_entries.current());
}

void Win32EntryListWindow::resetRows()
{
    if (!m_view.handle())
        return;
    m_following = true;
    m_view.reset();
    m_following = false;
}

void Win32EntryListWindow::sortRows(int column, bool ascending)
{
    m_following = true; // the focus stays with its entry
    m_view.sort(column, ascending);
    m_following = false;
}

void Win32EntryListWindow::learningChanged(bool learning)
{
    if (!m_window)
        return;
    // Between the window's messages: a timer comes after input and painting.
    if (learning)
        SetTimer(m_window, kLearnTimer, USER_TIMER_MINIMUM, nullptr);
    else
        KillTimer(m_window, kLearnTimer);
    SetCursor(LoadCursorW(nullptr, learning ? IDC_WAIT : IDC_ARROW));
}

void Win32EntryListWindow::rowFocused(int row)
{
    if (m_following || row < 0 || row >= m_rows->rowCount())
        return;
    const std::int64_t entry = m_rows->entryAt(row);
    if (entry != m_entries.current())
        m_listener.entryPicked(entry);
}

void Win32EntryListWindow::followCurrentEntry(std::int64_t entry)
{
    if (!m_view.handle())
        return;
    const int row = m_rows->rowOf(entry);
    if (row >= 0 && m_view.focusedRow() == row)
        return; // picked here: a selection being made stays
    m_following = true;
    m_view.markRow(row);
    m_following = false;
}

void Win32EntryListWindow::saveSelection(Win32EntryListView::MenuChoice choice)
{
    const std::vector<std::int64_t> entries = m_view.selectedEntries();
    if (!entries.empty() && choice == Win32EntryListView::MenuChoice::Save)
        m_listener.saveChosen(entries);
    else if (!entries.empty() && choice == Win32EntryListView::MenuChoice::Originals)
        m_listener.originalsChosen(entries);
}

} // namespace cp
