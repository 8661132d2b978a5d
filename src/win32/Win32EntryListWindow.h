// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/NumberFormat.h"
#include "logic/EntryListRows.h"
#include "logic/ShownScan.h"
#include "logic/WindowCommands.h"
#include "win32/Win32EntryListLayout.h"
#include "win32/Win32EntryListView.h"
#include "win32/Win32FilterBar.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace cp {

class SettingsStore;

// Every entry of the last scan at a glance, beside the main window, as a
// report-mode ListView: the same columns, sort, filter and "nur
// Abweichungen" as on Linux, since the rows come from EntryListRows. A row
// picks the main window's current entry, and the main window's stepping
// moves the row. Not modal; it remembers its place and column widths.
class Win32EntryListWindow {
public:
    // What the user picks or asks for in the list; the window's logic acts on it.
    class Listener {
    public:
        virtual ~Listener() = default;
        // Play (Return, a double-click) or Stop (Escape), as in the main window.
        virtual void commandChosen(Command command) = 0;
        // The user moved to a row: its entry is to become the current one.
        virtual void entryPicked(std::int64_t entry) = 0;
        // The selected entries, in the list's order, are to be saved.
        virtual void saveChosen(const std::vector<std::int64_t>& entries) = 0;
        // The same, as their original files.
        virtual void originalsChosen(const std::vector<std::int64_t>& entries) = 0;
    };

    // beside: the main window, which owns it and below which it opens the first time.
    Win32EntryListWindow(HWND beside, const ShownScan& entries, SettingsStore& settings, const NumberStyle& style,
                         Listener& listener);
    ~Win32EntryListWindow();
    Win32EntryListWindow(const Win32EntryListWindow&) = delete;
    Win32EntryListWindow& operator=(const Win32EntryListWindow&) = delete;

    // Shows the list where it was last, in front.
    void open();
    // Marks the entry's row (none where the filter hides it) without picking it again.
    void followCurrentEntry(std::int64_t entry);
    // The scan shown is about to be replaced, and has been: the rows start afresh.
    void scanChanging();
    void scanChanged();
    // Writes place and column widths to the settings.
    void saveLayout();
    void hide()
    {
        if (m_window)
            ShowWindow(m_window, SW_HIDE);
    }
    HWND handle() const { return m_window; }
    // The message loop's turn: true when the message was the list's (its
    // keys, the filter box's tab), so that nobody else handles it.
    bool takesMessage(MSG& message);

    // The controls, for the tests.
    HWND list() const { return m_view.handle(); }
    HWND filterBox() const { return m_bar.filterBox(); }
    HWND mismatchesBox() const { return m_bar.mismatchesBox(); }

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT notified(const NMHDR& notice);
    void buildControls();
    void applyFont(); // the system's message font at the window's DPI
    void arrangeControls();
    void applyFilter();
    void resetRows();
    void sortRows(int column, bool ascending);
    void learningChanged(bool learning);
    void rowFocused(int row);
    void saveSelection(Win32EntryListView::MenuChoice choice = Win32EntryListView::MenuChoice::Save);
    int scaled(int pixels) const { return MulDiv(pixels, m_dpi, 96); }

    const ShownScan& m_entries;
    SettingsStore& m_settings;
    NumberStyle m_style;
    Listener& m_listener;
    HWND m_owner = nullptr;
    HWND m_window = nullptr;
    HWND m_lastFocus = nullptr; // given back when the window is active again
    HFONT m_font = nullptr;
    int m_dpi = 96;
    int m_rowHeight = 20;
    bool m_following = false; // the main window moves the row: no pick back
    bool m_layoutRestored = false;
    std::unique_ptr<EntryListRows> m_rows;
    Win32EntryListView m_view {*m_rows};
    Win32FilterBar m_bar;
    Win32EntryListLayout m_layout {m_settings};
};

} // namespace cp
