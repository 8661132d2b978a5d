// SPDX-License-Identifier: GPL-3.0-or-later
// The toolbar click and the Open command.
#include "MainWindow.h"

#include "base/CommandLine.h"
#include "base/PathHelpers.h"
#include "dialogs/UserDialogs.h"
#include "playback/EntryPlayer.h"
#include "scan/ScanError.h"
#include "core/ErrorReport.h"
#include "core/SettingsStore.h"
#include "window/EntryRoom.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

#include <new>

namespace cp {

void MainWindow::clickButton(int index)
{
    void (MainWindow::*command)() = nullptr;
    switch (index) {
    case Open: command = &MainWindow::openCommand; break;
    case Previous: command = &MainWindow::previousCommand; break;
    case Play: command = &MainWindow::playCommand; break;
    case Stop: command = &MainWindow::stopCommand; break;
    case Next: command = &MainWindow::nextCommand; break;
    case SaveAll: runCommand([this] { m_saver.saveAll(this); }); return;
    case Save: runCommand([this] { m_saver.saveCurrent(this); }); return;
    default: return;
    }
    runCommand([this, command] { (this->*command)(); });
}

void MainWindow::runCommand(const std::function<void()>& command)
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
        showFailure(QStringLiteral("tlbMain_ButtonClick"), std::current_exception());
    }
    if (m_closeRequested && !m_scans->running()) {
        unload();
        hide();
        QCoreApplication::exit(0);
    }
}

void MainWindow::showFailure(const QString& procedure, const std::exception_ptr& failure)
{
    const ReportedError error = reportedError(failure);
    if (error.number == ErrorNumber::DialogCancelled)
        return; // a cancelled dialog ends the command silently
    if (error.number == ErrorNumber::DivisionByZero)
        m_form.quality->setText(QStringLiteral("mies"));
    else
        reportError(procedure, error.number, error.description);
}

void MainWindow::saveEntries(const std::vector<std::int64_t>& entries, QWidget* owner)
{
    runCommand([&] { m_saver.saveEntries(entries, owner); });
}

void MainWindow::openCommand()
{
    UserDialogs::OpenFile request;
    request.filter = QString::fromUtf8(kOpenFilter);
    request.initialDir = enterRememberedFolder(m_context.settings, QStringLiteral("FFLDir"), m_context.programFolder);
    double filter = 0;
    settingToNumber(m_context.settings.value("Filter", "0"), QLocale(), &filter);
    request.filterIndex = std::int16_t(filter);
    request.fileName = m_lastOpenFileName;

    const auto chosen = m_context.dialogs.openFile(this, request);
    if (!chosen || m_closeRequested) // a signal may have closed the window meanwhile
        throw CommandError(ErrorNumber::DialogCancelled, QStringLiteral("Abbruch"));
    m_lastOpenFileName = chosen->fileName;

    m_context.settings.setValue("Filter", QString::number(std::int16_t(chosen->filterIndex)));
    // Like the system's dialog, leave the chosen file's folder as the current one.
    QDir::setCurrent(QFileInfo(chosen->fileName).absolutePath());
    m_context.settings.setValue("FFLDir", QDir::currentPath());
    openFile(QFile::encodeName(chosen->fileName).toStdString());
}

void MainWindow::openFile(const std::string& path)
{
    // The entries shown go first, whatever becomes of the scan: their files
    // are deleted and a failed scan shows none.
    changeEntries([this] {
        m_entries.release(&m_context.player.device());
        m_positions = {};
    });
    showScanStarting(path);
    // Told before anything is written: a scan that fills the disk halfway
    // would only end in its failure.
    const EntryRoom room(m_context.folder.path, m_entries.remover().pendingBytes());
    if (const auto shortage = room.shortage(path, QLocale())) {
        showNoFile();
        m_context.dialogs.warning(this, QString::fromUtf8(kApplicationTitle), *shortage);
        return;
    }
    ScanResult scan;
    try {
        scan = m_scans->scan(m_context.folder, path);
    } catch (...) {
        showNoFile();
        throw;
    }
    changeEntries([&] {
        m_positions = {scan.sourceFile, scan.sourceLength, m_scans->takeTags()};
        m_entries.replace(std::move(scan));
    });
    if (m_entries.count() > 0) {
        setButton(Next, true);
        setButton(SaveAll, true);
    }
}

} // namespace cp
