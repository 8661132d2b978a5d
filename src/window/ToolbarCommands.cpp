// SPDX-License-Identifier: GPL-3.0-or-later
// The toolbar click and the Open command.
#include "MainWindow.h"

#include "base/PathHelpers.h"
#include "dialogs/UserDialogs.h"
#include "playback/WaveDevice.h"
#include "scan/ScanError.h"
#include "core/ErrorReport.h"
#include "core/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

#include <new>

namespace cp {

void MainWindow::tlbMain_ButtonClick(int index)
{
    void (MainWindow::*command)() = nullptr;
    switch (index) {
    case Open: command = &MainWindow::openCommand; break;
    case Previous: command = &MainWindow::previousCommand; break;
    case Play: command = &MainWindow::playCommand; break;
    case Stop: command = &MainWindow::stopCommand; break;
    case Next: command = &MainWindow::nextCommand; break;
    case SaveAll: command = &MainWindow::saveAllCommand; break;
    case Save: command = &MainWindow::saveCommand; break;
    default: return;
    }
    runCommand([this, command] { (this->*command)(); });
}

void MainWindow::runCommand(const std::function<void()>& command)
{
    // The progress bar covers the toolbar during a scan; this makes sure of it,
    // for the keys and the context menu too.
    if (m_scanning || m_copying || m_unloaded)
        return;
    try {
        command();
    } catch (const CommandError& error) {
        if (error.number() == ErrorNumber::DialogCancelled)
            ; // a cancelled dialog ends the command silently
        else if (error.number() == ErrorNumber::DivisionByZero)
            m_txtQuality->setText(QStringLiteral("mies"));
        else
            ReportError(QStringLiteral("tlbMain_ButtonClick"), error.number(), error.description());
    } catch (const ScanStopped&) {
        // The window was closed during the scan; it ends below.
    } catch (const ScanError& error) {
        ReportError(QStringLiteral("tlbMain_ButtonClick"), ErrorNumberForSystemError(error.systemError()),
                    QString::fromStdString(error.what()));
    } catch (const std::bad_alloc&) {
        ReportError(QStringLiteral("tlbMain_ButtonClick"), ErrorNumber::OutOfMemory,
                    QStringLiteral("Nicht genügend Speicher"));
    } catch (const std::exception& error) {
        ReportError(QStringLiteral("tlbMain_ButtonClick"), ErrorNumber::Internal, QString::fromUtf8(error.what()));
    }
    if (m_closeRequested && !m_scanning) {
        Form_Unload();
        hide();
        QCoreApplication::exit(0);
    }
}

void MainWindow::applyStartFolderRule(const QString& settingName, QString* initialDir)
{
    const QString folder = m_context.settings.GetRegSetting(settingName, m_context.programFolder);
    if (PathExists(QFile::encodeName(folder).toStdString())) {
        QDir::setCurrent(folder);
        *initialDir = folder;
    }
}

void MainWindow::openCommand()
{
    UserDialogs::OpenFile request;
    request.filter = QString::fromUtf8(kOpenFilter);
    applyStartFolderRule(QStringLiteral("FFLDir"), &request.initialDir);
    double filter = 0;
    SettingToNumber(m_context.settings.GetRegSetting("Filter", "0"), QLocale(), &filter);
    request.filterIndex = std::int16_t(filter);
    request.fileName = m_lastOpenFileName;

    const auto chosen = m_context.dialogs.openFile(this, request);
    if (!chosen || m_closeRequested) // a signal may have closed the window meanwhile
        throw CommandError(ErrorNumber::DialogCancelled, QStringLiteral("Abbruch"));
    m_lastOpenFileName = chosen->fileName;

    m_context.settings.SaveRegSetting("Filter", QString::number(std::int16_t(chosen->filterIndex)));
    // Like the system's dialog, leave the chosen file's folder as the current one.
    QDir::setCurrent(QFileInfo(chosen->fileName).absolutePath());
    m_context.settings.SaveRegSetting("FFLDir", QDir::currentPath());
    ReleaseEntryFiles(m_context.table, &m_context.device);
    ScanFile(QFile::encodeName(chosen->fileName).toStdString());
}

} // namespace cp
