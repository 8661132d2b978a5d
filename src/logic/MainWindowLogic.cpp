// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowLogic.h"

#include "base/CommandLine.h"
#include "base/PathHelpers.h"
#include "files/PathChecks.h"
#include "base/ShownPath.h"
#include "logic/EntryRoom.h"
#include "logic/ErrorReport.h"
#include "logic/MainWindowFace.h"
#include "logic/SettingsStore.h"
#include "logic/UserDialogs.h"
#include "logic/ViewFigures.h"
#include "playback/EntryPlayer.h"
#include "scan/ScanError.h"

#include <chrono>

namespace cp {

MainWindowLogic::MainWindowLogic(Context context, MainWindowFace& face)
    : m_context(context)
    , m_face(face)
    , m_saving(
          {m_entries, context.settings, context.dialogs, context.programFolder, context.style, m_closing.get_token()})
    , m_scans({m_view, face, context.style, m_closing.get_token()})
{
    m_view.caption = kApplicationTitle;
    // Before the window first shows, so that the box never flashes another state.
    m_view.loop = int(m_context.settings.number("Loop", m_context.style).value_or(0));
}

MainWindowLogic::~MainWindowLogic()
{
    m_entries.release(&m_context.player.device());
}

void MainWindowLogic::showView()
{
    m_face.showView(m_view);
}

std::optional<int> MainWindowLogic::start()
{
    showView();
    const StartupState& startup = m_context.startup;
    if (m_closing.stop_requested() && !startup.targetGiven) // closed before anything was scanned
        return 0;
    if (startup.sourceFile.empty())
        return std::nullopt;
    if (startup.targetGiven) {
        // A batch run ends with its scan, however it went; the entry files
        // stay. The window only shows how it goes.
        showScanStarting(startup.sourceFile);
        return m_scans.runBatch(startup);
    }
    try {
        openFile(startup.sourceFile);
    } catch (const ScanStopped&) {
        unload();
        return 0;
    } catch (...) {
        showFailure("Form_Load", std::current_exception());
    }
    if (m_closing.stop_requested()) {
        unload();
        return 0;
    }
    return std::nullopt;
}

void MainWindowLogic::run(Command command)
{
    if (command == Command::EntryList) {
        // A window of its own, not a command on the entries: it opens during a scan too.
        if (!m_unloaded)
            m_face.showEntryList();
        return;
    }
    guarded([this, command] { perform(command); });
}

void MainWindowLogic::perform(Command command)
{
    switch (command) {
    case Command::Open: openCommand(); break;
    case Command::SaveAll: m_saving.saveAll(); break;
    case Command::Previous:
        // Back never enables Previous and Save: an entry is current only after Next did.
        if (m_entries.previous())
            showNewCurrentEntry("nicht so toll");
        break;
    case Command::Play:
        if (m_entries.hasCurrent())
            m_context.player.play(m_entries.currentFile(), m_view.loop != 0);
        break;
    case Command::Stop: m_context.player.stop(); break;
    case Command::Save:
        if (m_entries.hasCurrent())
            m_saving.saveCurrent();
        break;
    case Command::Next:
        if (m_entries.next())
            showSteppedOnEntry();
        break;
    case Command::First: goToEntry(1); break;
    case Command::Last: goToEntry(m_entries.count()); break;
    case Command::EntryList: break;
    }
}

void MainWindowLogic::guarded(const std::function<void()>& command)
{
    // The progress bar covers the toolbar during a scan; this makes sure of it,
    // for the keys and the context menu too.
    if (busy())
        return;
    try {
        command();
    } catch (const ScanStopped&) {
        // The window was closed during the scan; it ends below.
    } catch (...) {
        showFailure("tlbMain_ButtonClick", std::current_exception());
    }
    if (m_closing.stop_requested() && !m_scans.running()) {
        unload();
        m_face.endProgram(0);
    }
}

void MainWindowLogic::showFailure(const std::string& procedure, const std::exception_ptr& failure)
{
    const ReportedError error = reportedError(failure);
    m_context.dialogs.message(DialogOwner::MainWindow, reportErrorCaption(error.number),
                              reportErrorText(procedure, error.description));
}

void MainWindowLogic::pick(std::int64_t entry)
{
    guarded([this, entry] { goToEntry(entry); });
}

void MainWindowLogic::saveEntries(const std::vector<std::int64_t>& entries, DialogOwner owner)
{
    guarded([&] { m_saving.saveEntries(entries, owner); });
}

void MainWindowLogic::saveOriginals(const std::vector<std::int64_t>& entries, DialogOwner owner)
{
    guarded([&] { m_saving.saveOriginals(entries, owner); });
}

bool MainWindowLogic::takesDrop(const std::string& path) const
{
    return !busy() && !path.empty() && !folderExists(path);
}

void MainWindowLogic::openDropped(const std::string& path)
{
    guarded([this, &path] { openFile(path); });
}

void MainWindowLogic::openCommand()
{
    UserDialogs::OpenFile request;
    request.filter = kOpenFilter;
    request.initialDir = rememberedFolder(m_context.settings, "FFLDir", m_context.programFolder);
    request.filterIndex = std::int16_t(m_context.settings.number("Filter", m_context.style).value_or(0));
    request.fileName = m_lastOpenFileName;
    const auto chosen = m_context.dialogs.openFile(DialogOwner::MainWindow, request);
    if (!chosen || m_closing.stop_requested()) // a signal may have closed the window meanwhile
        return;
    m_lastOpenFileName = chosen->fileName;
    m_context.settings.setValue("Filter", std::to_string(std::int16_t(chosen->filterIndex)));
    rememberFolderOf(m_context.settings, "FFLDir", chosen->fileName);
    openFile(chosen->fileName);
}

void MainWindowLogic::releaseEntries()
{
    m_face.scanChanging();
    m_entries.release(&m_context.player.device());
    m_face.scanChanged();
}

void MainWindowLogic::openFile(const std::string& path)
{
    // The entries shown go first, whatever becomes of the scan: their files
    // are deleted and a failed scan shows none.
    releaseEntries();
    showScanStarting(path);
    // Told before anything is written: a scan that fills the disk halfway
    // would only end in its failure.
    const EntryRoom room(m_context.folder.path, m_entries.remover().pendingBytes());
    if (const auto shortage = room.shortage(path, m_context.style)) {
        showNoFile();
        m_context.dialogs.warning(DialogOwner::MainWindow, kApplicationTitle, *shortage);
        return;
    }
    ScanResult scan;
    m_context.folder.keepsTagPositions = true; // for the entry list
    try {
        scan = m_scans.scan(m_context.folder, path);
    } catch (...) {
        showNoFile();
        throw;
    }
    m_face.scanChanging();
    m_entries.replace(std::move(scan));
    m_face.scanChanged();
    const bool any = m_entries.count() > 0;
    for (const Command command : {Command::Next, Command::First, Command::Last, Command::SaveAll})
        m_view.enable(command, any);
    showView();
}

void MainWindowLogic::goToEntry(std::int64_t entry)
{
    // The same loading, buttons and words as stepping on to it.
    if (m_entries.goTo(entry))
        showSteppedOnEntry();
}

void MainWindowLogic::showSteppedOnEntry()
{
    m_view.enable(Command::Previous, true);
    m_view.enable(Command::Save, true);
    showNewCurrentEntry("ganz schlecht");
}

void MainWindowLogic::showNewCurrentEntry(const std::string& zeroLengthWord)
{
    const std::string path = m_entries.currentFile();
    m_context.player.load(path);
    m_view.toolTip = entryToolTip(path, m_context.style);
    m_face.currentEntryChanged(m_entries.current());
    try {
        setEntryFigures(m_view, m_entries.current(), m_entries.count(), path,
                        entryPlayingTimeMs(path, m_context.player.lengthMs()), zeroLengthWord, m_context.style);
    } catch (...) {
        showView();
        throw;
    }
    showView();
}

void MainWindowLogic::showScanStarting(const std::string& path)
{
    for (const Command command : {Command::SaveAll, Command::Previous, Command::Play, Command::Stop, Command::Save,
                                  Command::Next, Command::First, Command::Last})
        m_view.enable(command, false);
    m_view.caption = shownPath(fileNamePart(path)) + " - " + kApplicationTitle;
    clearEntryFigures(m_view);
    showView();
}

void MainWindowLogic::showNoFile()
{
    m_view.caption = kApplicationTitle;
    clearFileFigures(m_view);
    showView();
}

void MainWindowLogic::loopClicked(int value)
{
    m_view.loop = value;
    m_context.player.stopLoop();
}

void MainWindowLogic::showPlayback()
{
    const PlaybackTick tick = m_context.player.tick(m_entries.current(), m_view.loop != 0);
    m_view.sliderValue = tick.sliderValue;
    m_view.status = tick.status;
    m_view.enable(Command::Play, tick.playEnabled);
    m_view.enable(Command::Stop, tick.stopEnabled);
    showView();
}

bool MainWindowLogic::requestClose()
{
    m_closing.request_stop();
    // The scan or copy notices at its next step, removes what it half wrote, and unwinds.
    if (m_scans.running() || m_saving.copying())
        return false;
    if (!m_context.startup.targetGiven) // a batch run's entry files are its output
        unload();
    return true;
}

void MainWindowLogic::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_face.windowUnloading();
    m_context.settings.setValue("Loop", std::to_string(m_view.loop));
    m_context.settings.sync();
    releaseEntries();
    m_context.player.stop();
    m_context.player.unload();
    waitForEntryFiles();
}

void MainWindowLogic::waitForEntryFiles()
{
    EntryFileRemover& remover = m_entries.remover();
    if (remover.waitFor(std::chrono::milliseconds(0)))
        return;
    // The files must be gone when the program ends; on a slow disk that takes
    // a while, and the window says why it has not gone yet.
    m_view.caption = std::string("Die Zwischendateien werden gelöscht … - ") + kApplicationTitle;
    // The status field is narrow: the whole sentence there would be set too small to read.
    m_view.status = "Aufräumen …";
    m_view.busyPointer = true;
    showView();
    while (!remover.waitFor(std::chrono::milliseconds(50)))
        m_face.keepRepainting();
    m_view.busyPointer = false;
    showView();
}

} // namespace cp
