// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/MainWindowView.h"
#include "logic/WindowCommands.h"
#include "logic/WindowLayout.h"

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <optional>
#include <string>

namespace cp {

// The main window's controls on Win32, made and placed from the twips table
// at the window's resolution: toolbar, progress bar, groups and figures,
// loop box and position slider; and the keys and the context menu made from
// the command table.
class Win32MainForm {
public:
    // A command's id in WM_COMMAND: its button, key and menu line.
    static constexpr int kFirstCommandId = 100;
    static int commandId(Command command) { return kFirstCommandId + int(command); }
    static bool isCommandId(int id) { return id >= kFirstCommandId && id < kFirstCommandId + int(kCommandCount); }
    static Command commandOf(int id) { return Command(id - kFirstCommandId); }
    static constexpr int kLoopBoxId = 90;

    Win32MainForm() = default;
    ~Win32MainForm();
    Win32MainForm(const Win32MainForm&) = delete;
    Win32MainForm& operator=(const Win32MainForm&) = delete;

    void build(HWND window, HINSTANCE instance);
    // Draws the view; only what changed is touched, so that nothing flickers.
    void show(const MainWindowView& view);
    // The command's keys, for TranslateAccelerator.
    HACCEL keys() const { return m_keys; }
    // The context menu at the screen point; unless usable (a scan or copy
    // runs) every line but the entry list's is greyed. The command chosen, if any.
    std::optional<Command> popUpCommandMenu(POINT at, bool usable, const MainWindowView& view) const;
    // Whether a point of the client area lies on the current entry's group.
    bool onEntryGroup(POINT client) const;
    int loopValue() const { return m_loop; }
    // The loop box was clicked: ticked or unticked from now on.
    int toggleLoop();
    HWND toolbar() const { return m_toolbar; }
    HWND field(Figure figure) const { return m_fields[std::size_t(figure)]; }

private:
    void makeToolbar(HINSTANCE instance);
    void makeFigures();
    void fitToText(Figure figure);
    void setLoop(int value);

    HWND m_window = nullptr;
    UINT m_dpi = 96;
    HFONT m_font = nullptr;
    HIMAGELIST m_pictures = nullptr;
    HACCEL m_keys = nullptr;
    HWND m_toolbar = nullptr;
    HWND m_progressBar = nullptr;
    std::array<HWND, 2> m_groups {};
    std::array<HWND, kFigureCount> m_labels {};
    std::array<HWND, kFigureCount> m_fields {};
    std::array<RECT, kFigureCount> m_designed {}; // each field's place as drawn
    HWND m_loopBox = nullptr;
    HWND m_slider = nullptr;
    HWND m_toolTip = nullptr;
    MainWindowView m_shown; // what the controls show now
    bool m_firstShow = true;
    int m_loop = 0;
};

} // namespace cp
