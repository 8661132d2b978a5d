// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scan/EntryTable.h"
#include "scan/ScanObserver.h"
#include "base/StartupState.h"
#include "window/EntryPositions.h"

#include <QElapsedTimer>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
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
class SettingsStore;
class ShellCopy;
class SoundPlayer;
class UserDialogs;
class WaveDevice;

// The program's one window: toolbar, the whole-file and current-entry
// figures, loop box, position slider, and the progress bar that covers the
// toolbar while a scan runs. Commands run on this thread; a scan lets the
// window repaint and take a close request while it works.
class MainWindow final : public QWidget, private ScanObserver {
public:
    // What the application owns and the window works on.
    struct Context {
        EntryTable& table;
        const StartupState& startup;
        SettingsStore& settings;
        WaveDevice& device;
        SoundPlayer& player;
        UserDialogs& dialogs;
        QString programFolder; // the default start folder of the file dialogs
    };

    // Toolbar button indexes; 3 is the separator.
    enum Button { Open = 1, SaveAll = 2, Separator = 3, Previous = 4, Play = 5, Stop = 6, Save = 7, Next = 8 };

    static constexpr const char* kOpenFilter =
        "Alle Dateien (*.*)|*.*|AvP-FFL-Dateien (*.ffl)|*.ffl|Unreal-Sound (*.uax)|*.uax|AVI-Dateien (*.avi)|*.avi|"
        "Quake & Clones (*.pak)|*.pak|Age Of Empires-Dateien (*.drs)|*.drs";

    explicit MainWindow(Context context);
    ~MainWindow() override;

    // Shows the window at its remembered place and scans the source file
    // named at start. Returns the exit status when the program must end now
    // (a batch run is done, or the window was closed during the scan).
    std::optional<int> Form_Load();

    // One toolbar click, by 1-based button index, under the one error trap.
    void tlbMain_ButtonClick(int index);

    // The status word for a device mode.
    static QString GetStringOfNumber(int mode);

    QAction* button(int index) const { return m_buttons.at(std::size_t(index)); }
    QMenu* commandMenu() const { return m_commandMenu; }

    // The entry list: opened by F4, the context menu, or a double-click on the current entry's group.
    void openEntryList();
    EntryListWindow* entryList() const { return m_entryList; }
    const EntryPositions& entryPositions() const { return m_positions; }
    // Makes the entry current, as stepping to it would; a command like the others.
    void showEntry(std::int64_t entry);
    // Copies the entries into a folder the user picks, as Save all does all of them.
    void saveEntries(const std::vector<std::int64_t>& entries, QWidget* owner);
    bool scanning() const { return m_scanning; }
    int busyDepth() const { return m_busyDepth; }
    double twipsPerPixel() const;
    int twipsToPixels(int twips) const;

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
    // The first dropped file's path bytes; none for a folder, or while a drop would be refused.
    std::optional<std::string> droppedFile(const QMimeData* mime) const;
    QLineEdit* valueField(QWidget* parent, const char* name, int left, int top, int width, const char* text);

    // Commands
    void openCommand();
    void previousCommand();
    void nextCommand();
    void firstOrLastCommand(bool last);
    void goToEntry(std::int64_t entry);
    void playCommand();
    void stopCommand();
    void saveAllCommand();
    // Save all's folder question and copies, for count entries; entryAt(i) is the i-th's number.
    void saveIntoFolder(std::int64_t count, const std::function<std::int64_t(std::int64_t)>& entryAt, QWidget* owner);
    void saveCommand();
    // Runs the copies of one saving command, telling the user afterwards what failed.
    void copyEntries(std::int64_t total, bool several, const std::function<void(ShellCopy&)>& copies,
                     QWidget* owner = nullptr);
    void ShowNotice(const QString& settingName, const QString& text);
    QString proposedSaveName() const;
    QString savedNoticeText() const;
    void LoadCurrentEntry();
    void setEntryToolTip(const QString& text); // on the current entry's group and its fields
    void ShowCurrentEntry(const QString& zeroLengthWord);
    void ScanFile(const std::string& path); // the path's bytes, as the file system knows them
    void applyStartFolderRule(const QString& settingName, QString* initialDir);
    void Form_Unload();
    // Centres the window with its frame on a first start, once the frame is known.
    void centreOnFrame(bool horizontally, bool vertically);
    void tmrPlay_Timer();
    void chkLoop_Click();
    int loopValue() const;
    void SetBusy();
    void SetBusy(bool endOfStretch);
    void ReportError(const QString& procedure, int number, const QString& description);
    void setButton(int index, bool enabled);
    int progressUnits(std::int64_t position) const;
    void flushScanDisplay();

    // ScanObserver
    void scanStarting(const std::string& path) override;
    void fileOpened(std::int64_t length) override;
    void blockStarted(std::int64_t position) override;
    void tagFound(std::int64_t hitCount, std::int64_t position, double runningShare) override;
    void searchFinished(std::int64_t entryCount, std::int64_t firstTag, double finalShare) override;
    void scanEnded(bool completed) noexcept override;
    bool stopRequested() override;

    Context m_context;

    QToolBar* m_tlbMain = nullptr;
    std::array<QAction*, 9> m_buttons {}; // [1..8]; [0] unused
    QProgressBar* m_pgbParsing = nullptr;
    QGroupBox* m_frame[2] = {};
    QLineEdit* m_txtFilesize = nullptr;
    QLineEdit* m_txtEntrycount = nullptr;
    QLineEdit* m_txtUnknownData = nullptr;
    QLineEdit* m_txtEntrysize = nullptr;
    QLineEdit* m_txtEntryLength = nullptr;
    QLineEdit* m_txtQuality = nullptr;
    QLineEdit* m_txtStatus = nullptr;
    QCheckBox* m_chkLoop = nullptr;
    QSlider* m_sldTime = nullptr;
    QTimer* m_tmrPlay = nullptr;
    QMenu* m_commandMenu = nullptr;
    EntryListWindow* m_entryList = nullptr; // made when first opened

    // Where the entries begin: collected while a scan runs, kept from the last completed one.
    std::deque<std::int64_t> m_scanTags;
    EntryPositions m_positions;

    QString m_lastOpenFileName;
    int m_busyDepth = 0;
    bool m_scanning = false;
    bool m_copying = false; // a saving command is copying; closing waits for it
    bool m_closeRequested = false;
    bool m_unloaded = false;

    // The scan's latest figures, shown at most every few tens of milliseconds.
    QElapsedTimer m_displayClock;
    std::int64_t m_scanLength = 0;
    std::int64_t m_shownHits = -1, m_pendingHits = 0;
    double m_pendingShare = 1.0;
    std::int64_t m_pendingProgress = 0;
    bool m_anyHit = false;
    std::int64_t m_firstTag = 0; // for the summary a batch run prints
    double m_finalShare = 1.0;
};

} // namespace cp
