// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/StartupState.h"
#include "window/EntryBrowser.h"
#include "window/EntryPositions.h"
#include "window/EntrySaver.h"
#include "window/ScanController.h"

#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QMenu;
class QMimeData;
class QProgressBar;
class QSlider;
class QTimer;
class QToolBar;

namespace cp {

class EntryListWindow;
class EntryPlayer;
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

    // Toolbar button indexes; 3 is the separator.
    enum Button { Open = 1, SaveAll = 2, Separator = 3, Previous = 4, Play = 5, Stop = 6, Save = 7, Next = 8 };

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

    QAction* button(int index) const { return m_buttons.at(std::size_t(index)); }
    QMenu* commandMenu() const { return m_commandMenu; }
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
    void buildControls();
    void buildKeyboardCommands();
    // Runs a command under the one error trap, unless a scan or copy is under way.
    void runCommand(const std::function<void()>& command);
    bool busy() const { return m_scans->running() || m_saver.copying() || m_unloaded; }
    // The first dropped file's path bytes; none for a folder, or while a drop would be refused.
    std::optional<std::string> droppedFile(const QMimeData* mime) const;
    QLineEdit* valueField(QWidget* parent, const char* name, int left, int top, int width, const char* text);

    // Commands
    void openCommand();
    // Lets go of the entries shown and scans the file at path (its bytes) in their place.
    void openFile(const std::string& path);
    void previousCommand();
    void nextCommand();
    void goToEntry(std::int64_t entry);
    void playCommand();
    void stopCommand();

    // The current entry's group
    void loadCurrentEntry();
    void showCurrentEntry(const QString& zeroLengthWord);
    void setEntryToolTip(const QString& text); // on the current entry's group and its fields
    // The window while a scan of path runs: its name in the caption, no entry, no command but Open.
    void showScanStarting(const std::string& path);
    // The window as before any file: no entries, no figures, only Open.
    void showNoFile();
    // Changes the entries and their positions while the entry list looks away.
    void changeEntries(const std::function<void()>& change);

    void unload();
    // Centres the window with its frame on a first start, once the frame is known.
    void centreOnFrame(bool horizontally, bool vertically);
    void showPlayback();
    void loopBoxClicked();
    int loopValue() const;
    void reportError(const QString& procedure, int number, const QString& description);
    void setButton(int index, bool enabled);

    Context m_context;

    QToolBar* m_toolbar = nullptr;
    std::array<QAction*, 9> m_buttons {}; // [1..8]; [0] unused
    QProgressBar* m_progressBar = nullptr;
    QGroupBox* m_group[2] = {};
    QLineEdit* m_fileSize = nullptr;
    QLineEdit* m_entryCount = nullptr;
    QLineEdit* m_unknownData = nullptr;
    QLineEdit* m_entrySize = nullptr;
    QLineEdit* m_entryLength = nullptr;
    QLineEdit* m_quality = nullptr;
    QLineEdit* m_status = nullptr;
    QCheckBox* m_loopBox = nullptr;
    QSlider* m_positionSlider = nullptr;
    QTimer* m_playbackTimer = nullptr;
    QMenu* m_commandMenu = nullptr;
    EntryListWindow* m_entryList = nullptr; // made when first opened

    EntryBrowser m_entries;
    EntryPositions m_positions; // where the entries begin, for the entry list
    EntrySaver m_saver;
    std::unique_ptr<ScanController> m_scans; // made with the widgets it drives

    QString m_lastOpenFileName;
    bool m_closeRequested = false;
    bool m_unloaded = false;
};

} // namespace cp
