// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/EntryListRows.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace cp {

// The entry list's report-mode ListView over the rows: a virtual list that
// asks for the texts it shows, so that 100,000 rows cost nothing until seen.
// It keeps selection and focus with their entries across a sort; what the
// user does with it is the window's business.
class Win32EntryListView {
public:
    explicit Win32EntryListView(EntryListRows& rows) : m_rows(rows) {}

    // The control in parent, its columns as wide as their texts in font.
    void create(HWND parent, int id, HFONT font, int dpi);
    HWND handle() const { return m_list; }
    void forget() { m_list = nullptr; } // destroyed with its window

    // The cell texts and tooltips asked for; false for other notices.
    bool answer(const NMHDR& notice) const;
    // After the rows changed wholesale: nothing selected or focused.
    void reset();
    void sort(int column, bool ascending);
    // A click on a column's caption: sorts by it ascending, the same one again the other way.
    void sortByClick(int column);
    // Filters the rows as EntryListRows::setFilter does, unless that would leave them as they are.
    void filter(const std::string& typed, bool mismatchesOnly);
    // The arrow in the column's caption; none for column -1.
    void showSortArrow(int column, bool ascending);
    // Selects and shows the row alone; -1: none.
    void markRow(int row);
    int focusedRow() const;
    // The entries of the selected rows, in the list's order.
    std::vector<std::int64_t> selectedEntries() const;
    // Column widths at 96 dots an inch, as wide to the eye on any screen.
    std::vector<int> columnWidths(int dpi) const;
    void setColumnWidths(const std::vector<int>& widths, int dpi);
    // The context menu at the screen point (-1: from the keyboard), and what was chosen in it.
    enum class MenuChoice { None, Save, Originals };
    MenuChoice menuChoice(LPARAM at, HWND owner) const;

private:
    EntryListRows& m_rows;
    HWND m_list = nullptr;
    int m_sortColumn = -1; // as the caption shows it: none until a click
    bool m_ascending = true;
};

} // namespace cp
