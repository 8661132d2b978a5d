// SPDX-License-Identifier: GPL-3.0-or-later
#include "Win32EntryListView.h"

#include "base/WideText.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <string>

namespace cp {

namespace {

// Sorting or filtering every header takes a moment with many entries.
struct BusyCursor {
    HCURSOR before = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    ~BusyCursor() { SetCursor(before); }
};

void copyText(const std::string& text, wchar_t* buffer, int size)
{
    if (!buffer || size < 1)
        return;
    const std::wstring wide = wideText(text);
    const std::size_t count = std::min(wide.size(), std::size_t(size - 1));
    std::copy_n(wide.data(), count, buffer);
    buffer[count] = L'\0';
}

int textWidth(HDC dc, const std::wstring& text)
{
    SIZE size {};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    return size.cx;
}

} // namespace

void Win32EntryListView::create(HWND parent, int id, HFONT font, int dpi)
{
    m_list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, 0, 0,
                             0, 0, parent, reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleW(nullptr), nullptr);
    if (!m_list)
        return;
    ListView_SetExtendedListViewStyle(m_list, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP | LVS_EX_DOUBLEBUFFER);
    SendMessageW(m_list, WM_SETFONT, WPARAM(font), FALSE);
    // The tooltip's lines as they are, not wrapped anew.
    SendMessageW(ListView_GetToolTips(m_list), TTM_SETMAXTIPWIDTH, 0, MulDiv(600, dpi, 96));
    // The first column takes no right alignment: a stand-in goes first and is removed.
    LVCOLUMNW standIn {};
    standIn.mask = LVCF_WIDTH;
    ListView_InsertColumn(m_list, 0, &standIn);
    const HDC dc = GetDC(m_list);
    const HGDIOBJ before = SelectObject(dc, font);
    for (int c = 0; c < EntryListRows::ColumnCount; ++c) {
        std::wstring caption = wideText(EntryListRows::caption(c));
        LVCOLUMNW column {};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
        column.fmt = EntryListRows::alignment(c) == EntryListRows::Alignment::Number ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = std::max(textWidth(dc, wideText(EntryListRows::widestText(c))), textWidth(dc, caption))
            + MulDiv(16, dpi, 96);
        column.pszText = caption.data();
        ListView_InsertColumn(m_list, c + 1, &column);
    }
    SelectObject(dc, before);
    ReleaseDC(m_list, dc);
    ListView_DeleteColumn(m_list, 0);
    reset();
}

bool Win32EntryListView::answer(const NMHDR& notice) const
{
    if (notice.code == LVN_GETDISPINFOW) {
        const LVITEMW& item = reinterpret_cast<const NMLVDISPINFOW&>(notice).item;
        if ((item.mask & LVIF_TEXT) && item.iItem >= 0 && item.iItem < m_rows.rowCount())
            copyText(m_rows.text(item.iItem, item.iSubItem), item.pszText, item.cchTextMax);
        return true;
    }
    if (notice.code == LVN_GETINFOTIPW) {
        const auto& tip = reinterpret_cast<const NMLVGETINFOTIPW&>(notice);
        if (tip.iItem >= 0 && tip.iItem < m_rows.rowCount())
            copyText(m_rows.toolTip(tip.iItem), tip.pszText, tip.cchTextMax);
        return true;
    }
    return false;
}

void Win32EntryListView::reset()
{
    ListView_SetItemState(m_list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemCountEx(m_list, m_rows.rowCount(), 0);
    InvalidateRect(m_list, nullptr, TRUE);
}

void Win32EntryListView::sort(int column, bool ascending)
{
    const std::vector<std::int64_t> selected = selectedEntries();
    const int focused = focusedRow();
    const std::int64_t focusedEntry = focused >= 0 && focused < m_rows.rowCount() ? m_rows.entryAt(focused) : 0;
    {
        const BusyCursor busy;
        m_rows.sort(column, ascending);
    }
    const std::vector<int> rowOfEntry = m_rows.rowsOfEntries();
    ListView_SetItemState(m_list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (const std::int64_t entry : selected)
        ListView_SetItemState(m_list, rowOfEntry.at(std::size_t(entry)), LVIS_SELECTED, LVIS_SELECTED);
    if (focusedEntry > 0) {
        const int row = rowOfEntry.at(std::size_t(focusedEntry));
        ListView_SetItemState(m_list, row, LVIS_FOCUSED, LVIS_FOCUSED);
        ListView_SetSelectionMark(m_list, row);
        ListView_EnsureVisible(m_list, row, FALSE);
    }
    InvalidateRect(m_list, nullptr, FALSE);
}

void Win32EntryListView::filter(const std::string& typed, bool mismatchesOnly)
{
    if (m_rows.sameFilter(typed, mismatchesOnly))
        return;
    const BusyCursor busy;
    m_rows.setFilter(typed, mismatchesOnly);
    reset();
}

void Win32EntryListView::sortByClick(int column)
{
    if (column < 0 || column >= EntryListRows::ColumnCount)
        return;
    // A new column sorts ascending, the same one again the other way.
    m_ascending = column != m_sortColumn || !m_ascending;
    m_sortColumn = column;
    showSortArrow(column, m_ascending);
    sort(column, m_ascending);
}

void Win32EntryListView::showSortArrow(int column, bool ascending)
{
    const HWND header = ListView_GetHeader(m_list);
    for (int c = 0; c < EntryListRows::ColumnCount; ++c) {
        HDITEMW item {};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, c, &item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (c == column)
            item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
        Header_SetItem(header, c, &item);
    }
}

void Win32EntryListView::markRow(int row)
{
    ListView_SetItemState(m_list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (row < 0)
        return;
    ListView_SetItemState(m_list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetSelectionMark(m_list, row);
    ListView_EnsureVisible(m_list, row, FALSE);
}

int Win32EntryListView::focusedRow() const
{
    return ListView_GetNextItem(m_list, -1, LVNI_FOCUSED);
}

std::vector<std::int64_t> Win32EntryListView::selectedEntries() const
{
    std::vector<std::int64_t> entries;
    for (int row = ListView_GetNextItem(m_list, -1, LVNI_SELECTED); row >= 0 && row < m_rows.rowCount();
         row = ListView_GetNextItem(m_list, row, LVNI_SELECTED))
        entries.push_back(m_rows.entryAt(row));
    return entries;
}

std::vector<int> Win32EntryListView::columnWidths(int dpi) const
{
    std::vector<int> widths;
    for (int c = 0; c < EntryListRows::ColumnCount; ++c)
        widths.push_back(MulDiv(ListView_GetColumnWidth(m_list, c), 96, dpi));
    return widths;
}

void Win32EntryListView::setColumnWidths(const std::vector<int>& widths, int dpi)
{
    for (int c = 0; c < int(widths.size()) && c < EntryListRows::ColumnCount; ++c)
        if (widths[std::size_t(c)] > 0)
            ListView_SetColumnWidth(m_list, c, MulDiv(widths[std::size_t(c)], dpi, 96));
}

Win32EntryListView::MenuChoice Win32EntryListView::menuChoice(LPARAM at, HWND owner) const
{
    POINT point {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    if (point.x == -1 && point.y == -1) { // from the keyboard: below the focused row, or at the list's corner
        RECT row {};
        const int focused = focusedRow();
        if (focused < 0 || !ListView_GetItemRect(m_list, focused, &row, LVIR_LABEL))
            row = {0, 0, 0, 0};
        point = {row.left, row.bottom};
        ClientToScreen(m_list, &point);
    }
    const HMENU menu = CreatePopupMenu();
    const UINT enabled = ListView_GetSelectedCount(m_list) > 0 ? MF_ENABLED : MF_GRAYED;
    AppendMenuW(menu, MF_STRING | enabled, UINT(MenuChoice::Save), L"Auswahl speichern …\tStrg+S");
    AppendMenuW(menu, MF_STRING | enabled, UINT(MenuChoice::Originals), L"Als Originale speichern …");
    const BOOL chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, owner, nullptr);
    DestroyMenu(menu);
    return chosen == BOOL(MenuChoice::Save) || chosen == BOOL(MenuChoice::Originals) ? MenuChoice(chosen)
                                                                                     : MenuChoice::None;
}

} // namespace cp
