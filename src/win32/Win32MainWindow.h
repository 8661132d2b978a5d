// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/MainWindowFace.h"
#include "logic/MainWindowLogic.h"
#include "win32/Win32EntryListWindow.h"
#include "win32/Win32MainForm.h"

#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <optional>

namespace cp {

// The program's one window on Win32: toolbar, the whole-file and
// current-entry figures, loop box, position slider, and the progress bar over
// the toolbar while a scan runs. It draws what the window's logic shows and
// hands it the user's clicks, keys, drops and closes; what they do is the logic's.
class Win32MainWindow final : private MainWindowFace, private Win32EntryListWindow::Listener {
public:
    using Context = MainWindowLogic::Context;

    Win32MainWindow(HINSTANCE instance, Context context);
    ~Win32MainWindow() override;
    Win32MainWindow(const Win32MainWindow&) = delete;
    Win32MainWindow& operator=(const Win32MainWindow&) = delete;

    HWND handle() const { return m_window; }
    // Shows the window at its remembered place and scans the source file
    // named at start. Returns the exit status when the program must end now.
    std::optional<int> start();
    // The message loop, until the program ends; its exit status.
    int run();
    // Where the logic's dialogs are put: over the entry list while it is in front.
    HWND entryListWindow() const { return m_entryList ? m_entryList->handle() : nullptr; }

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    // One message of the loop: the keys of whichever window is in front first.
    void dispatch(MSG& message);
    void runCommand(Command command);
    void dropped(HDROP drop);

    // What the logic asks of its face.
    void showView(const MainWindowView& view) override;
    void keepAnswering() override;
    void keepRepainting() override;
    void scanChanging() override;
    void scanChanged() override;
    void currentEntryChanged(std::int64_t entry) override;
    void showEntryList() override;
    void windowUnloading() override;
    void endProgram(int status) override;

    // What the entry list asks.
    void commandChosen(Command command) override { runCommand(command); }
    void entryPicked(std::int64_t entry) override { m_logic->pick(entry); }
    void saveChosen(const std::vector<std::int64_t>& entries) override;
    void originalsChosen(const std::vector<std::int64_t>& entries) override;

    Context m_context;
    HWND m_window = nullptr;
    std::unique_ptr<Win32MainForm> m_form;             // made anew when the resolution changes
    std::unique_ptr<Win32EntryListWindow> m_entryList; // made when first opened
    std::unique_ptr<MainWindowLogic> m_logic;          // made once the controls are there to draw on
    std::string m_droppedFile;                         // opened once the drop is over
    bool m_busyPointer = false;
};

} // namespace cp
