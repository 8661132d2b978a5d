// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/MainWindowFace.h"
#include "logic/MainWindowLogic.h"
#include "window/OverridePointer.h"
#include "window/MainWindowForm.h"
#include "window/WindowPlacement.h"

#include <QString>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>

class QMenu;
class QMimeData;
class QTimer;

namespace cp {

class EntryListWindow;
class ModalCloseWatch;

// The program's one window on Qt: toolbar, the whole-file and current-entry
// figures, loop box, position slider, and the progress bar that covers the
// toolbar while a scan runs. It draws what the window's logic shows and hands
// it the user's clicks, keys, drops and closes; what they do is the logic's.
class MainWindow final : public QWidget, private MainWindowFace {
public:
    // What the application owns and the window works on.
    using Context = MainWindowLogic::Context;

    explicit MainWindow(Context context);
    ~MainWindow() override;

    // Shows the window at its remembered place and scans the source file
    // named at start. Returns the exit status when the program must end now
    // (a batch run is done, or the window was closed during the scan).
    std::optional<int> start();

    // One command, as its button, key or menu line gives it.
    void runCommand(Command command) { m_logic.run(command); }
    QAction* action(Command command) const { return m_form.action(command); }
    QMenu* commandMenu() const { return m_form.commandMenu; }
    const MainWindowLogic& logic() const { return m_logic; }
    EntryListWindow* entryList() const { return m_entryList; }

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
    // The first dropped file's path bytes, when the logic would take it now.
    std::optional<std::string> droppedFile(const QMimeData* mime) const;
    void setToolTip(const QString& text);

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

    MainWindowForm m_form;
    WindowPlacement m_placement;
    QTimer* m_playbackTimer = nullptr;
    EntryListWindow* m_entryList = nullptr;             // made when first opened
    std::unique_ptr<ModalCloseWatch> m_modalCloseWatch; // the title bar's close while a dialog asks
    std::optional<OverridePointer> m_busyPointer;       // while the logic says busy
    SettingsStore& m_settings;
    NumberStyle m_style;
    MainWindowLogic m_logic; // last: it draws on the widgets above from its first step
};

} // namespace cp
