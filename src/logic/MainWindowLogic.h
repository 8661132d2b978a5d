// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/NumberFormat.h"
#include "base/StartupState.h"
#include "logic/MainWindowView.h"
#include "logic/SavingFlow.h"
#include "logic/ScanFollower.h"
#include "logic/ShownScan.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace cp {

class EntryPlayer;
class MainWindowFace;
class SettingsStore;
class UserDialogs;

// What the main window does, whatever draws it: the commands and when each
// can be used, stepping with wrap, the scan as the window follows it, the
// figures, caption and status it shows, the saving flows, the one error trap
// and its report, and the settings it reads and writes. A face (the Qt
// window, the Win32 window) hands it the user's clicks and keys and draws
// its view.
class MainWindowLogic {
public:
    struct Context {
        EntryFolder& folder; // where the entry files go
        const StartupState& startup;
        SettingsStore& settings;
        EntryPlayer& player;
        UserDialogs& dialogs;
        std::string programFolder; // the default start folder of the file dialogs
        NumberStyle style;
    };

    static constexpr const char* kOpenFilter
        = "Alle Dateien (*.*)|*.*|AvP-FFL-Dateien (*.ffl)|*.ffl|Unreal-Sound (*.uax)|*.uax|AVI-Dateien (*.avi)|*.avi|"
          "Quake & Clones (*.pak)|*.pak|Age Of Empires-Dateien (*.drs)|*.drs";

    // face: what draws the window; it outlives the logic.
    MainWindowLogic(Context context, MainWindowFace& face);
    // Lets go of the entry files shown (a batch run's output is not the window's).
    ~MainWindowLogic();
    MainWindowLogic(const MainWindowLogic&) = delete;
    MainWindowLogic& operator=(const MainWindowLogic&) = delete;

    const MainWindowView& view() const { return m_view; }
    const ShownScan& entries() const { return m_entries; }
    const SavingFlow& saving() const { return m_saving; }

    // Once the face shows the window: scans the source file named at start.
    // Returns the exit status when the program must end now (a batch run is
    // done, or the window was closed during the scan).
    std::optional<int> start();
    // One command, under the one error trap, unless a scan or copy is under
    // way (the entry list opens even then).
    void run(Command command);
    // The entry list picked the entry: made current as stepping to it would.
    void pick(std::int64_t entry);
    // The entry list's Save: the given entries into a folder the user picks.
    void saveEntries(const std::vector<std::int64_t>& entries, DialogOwner owner);
    // The entry list's "Als Originale speichern": the given entries' original files.
    void saveOriginals(const std::vector<std::int64_t>& entries, DialogOwner owner);
    // Whether a file dropped there now would be taken (no folder, nothing busy).
    bool takesDrop(const std::string& path) const;
    // Opens a dropped file, as Open does, without its dialog and the settings it writes.
    void openDropped(const std::string& path);
    // The context menu's commands can be used: no scan or copy runs.
    bool commandsUsable() const { return !busy(); }
    // The loop box was clicked; it now says value (0 or 1).
    void loopClicked(int value);
    // The playback clock's tick: the slider, the status word, Play and Stop.
    void showPlayback();
    // The user closes the window. True when it may go now; false while a scan
    // or copy notices and unwinds, after which the program ends.
    bool requestClose();
    bool scanning() const { return m_scans.running(); }

private:
    bool busy() const { return m_scans.running() || m_saving.copying() || m_unloaded; }
    void guarded(const std::function<void()>& command);
    void perform(Command command);
    void showFailure(const std::string& procedure, const std::exception_ptr& failure);
    void openCommand();
    void openFile(const std::string& path);
    void goToEntry(std::int64_t entry);
    void showNewCurrentEntry(const std::string& zeroLengthWord);
    void showSteppedOnEntry();
    void showScanStarting(const std::string& path);
    void showNoFile();
    void releaseEntries();
    void unload();
    void waitForEntryFiles();
    void showView();

    Context m_context;
    MainWindowFace& m_face;
    MainWindowView m_view;
    std::stop_source m_closing; // the user closed the window: a scan or copy under way stops
    ShownScan m_entries;
    SavingFlow m_saving;
    ScanFollower m_scans;
    std::string m_lastOpenFileName;
    bool m_unloaded = false;
};

} // namespace cp
