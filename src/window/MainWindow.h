// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/StartupState.h"
#include "window/EntryBrowser.h"
#include "window/EntryFigures.h"
#include "window/EntryPositions.h"
#include "window/EntrySaver.h"
#include "window/MainWindowForm.h"
#include "window/ScanController.h"
#include "window/WindowPlacement.h"

#include <QString>
#include <QWidget>

#include <array>
#include <exception>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QMenu;
class QMimeData;
class QTimer;

namespace cp {

class EntryListWindow;
class EntryPlayer;
class ModalCloseWatch;
class SettingsStore;
class UserDialogs;

// The program's one window: toolbar, the whole-file and current-entry
// figures, loop box, position slider, and the progress bar that covers the
// toolbar while a scan runs. It wires its widgets to the objects that do the
// work: the entry browser (which entry is current), the player, the saver
// and the scan controller. Commands run on this thread; a scan lets the
// window repaint and take a close request while it works.
class MainWindow final : public QWidget {
public:
    // What the application owns and the window works on.
    struct Context {
        EntryFolder& folder; // where the entry files go
        const StartupState& startup;
        SettingsStore& settings;
        EntryPlayer& player;
        UserDialogs& dialogs;
        QString programFolder; // the default start folder of the file dialogs
    };

    using enum MainWindowForm::Button; // the toolbar buttons by index

    static constexpr const char* kOpenFilter
        = "Alle Dateien (*.*)|*.*|AvP-FFL-Dateien (*.ffl)|*.ffl|Unreal-Sound (*.uax)|*.uax|AVI-Dateien (*.avi)|*.avi|"
          "Quake & Clones (*.pak)|*.pak|Age Of Empires-Dateien (*.drs)|*.drs";

    explicit MainWindow(Context context);
    ~MainWindow() override;

    // Shows the window at its remembered place and scans the source file
    // named at start. Returns the exit status when the program must end now
    // (a batch run is done, or the window was closed during the scan).
    std::optional<int> start();

    // One toolbar click, by 1-based button index, under the one error trap.
    void clickButton(int index);

    QAction* button(int index) const { return m_form.buttons.at(std::size_t(index)); }
    QMenu* commandMenu() const { return m_form.commandMenu; }
    const EntryBrowser& entries() const { return m_entries; }

    // The entry list: opened by F4, the context menu, or a double-click on the current entry's group.
    void openEntryList();
    EntryListWindow* entryList() const { return m_entryList; }
    const EntryPositions& entryPositions() const { return m_positions; }
    // Makes the entry current, as stepping to it would; a command like the others.
    void showEntry(std::int64_t entry);
    // Copies the entries into a folder the user picks, as Save all does all of them.
    void saveEntries(const std::vector<std::int64_t>& entries, QWidget* owner);
    bool scanning() const { return m_scans->running(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    // Right click anywhere: every command with its keys.
    void contextMenuEvent(QContextMenuEvent* event) override;
    // A file dropped from the file manager is opened like one chosen with Open.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // A double-click on the current entry's group opens the entry list.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs a command under the one error trap, unless a scan or copy is under way.
    void runCommand(const std::function<void()>& command);
    bool busy() const { return m_scans->running() || m_saver.copying() || m_unloaded; }
    // The first dropped file's path bytes; none for a folder, or while a drop would be refused.
    std::optional<std::string> droppedFile(const QMimeData* mime) const;

    // Commands
    void openCommand();
    // Lets go of the entries shown and scans the file at path (its bytes) in their place.
    void openFile(const std::string& path);
    void previousCommand();
    void nextCommand();
    void goToEntry(std::int64_t entry);
    void playCommand();
    void stopCommand();

    // Loads the entry made current into the player and shows it; without a
    // playing time its rate field says zeroLengthWord.
    void showNewCurrentEntry(const QString& zeroLengthWord);
    void showSteppedOnEntry(); // after Next or a jump: Previous and Save become usable
    // The window while a scan of path runs: its name in the caption, no entry, no command but Open.
    void showScanStarting(const std::string& path);
    // The window as before any file: no entries, no figures, only Open.
    void showNoFile();
    // Changes the entries and their positions while the entry list looks away.
    void changeEntries(const std::function<void()>& change);

    void unload();
    // Until the entry files let go of are deleted, saying so.
    void waitForEntryFiles();
    void showPlayback();
    void loopBoxClicked();
    void reportError(const QString& procedure, int number, const QString& description);
    // What a command or the start-up scan threw, as the report shows it (if at all).
    void showFailure(const QString& procedure, const std::exception_ptr& failure);
    void setButton(int index, bool enabled);

    Context m_context;

    MainWindowForm m_form;
    EntryFigures m_figures {m_form};
    WindowPlacement m_placement;
    QTimer* m_playbackTimer = nullptr;
    EntryListWindow* m_entryList = nullptr; // made when first opened

    EntryBrowser m_entries;
    EntryPositions m_positions; // where the entries begin, for the entry list
    EntrySaver m_saver;
    std::unique_ptr<ScanController> m_scans; // made with the widgets it drives

    std::unique_ptr<ModalCloseWatch> m_modalCloseWatch; // the title bar's close while a dialog asks

    QString m_lastOpenFileName;
    bool m_closeRequested = false;
    bool m_unloaded = false;
};

} // namespace cp
