// SPDX-License-Identifier: GPL-3.0-or-later
// Stepping through the entries, and what the window shows of them.
#include "MainWindow.h"

#include "base/CommandLine.h"
#include "base/PathHelpers.h"
#include "playback/EntryPlayer.h"
#include "scan/EntryHeader.h"
#include "files/FileIo.h"
#include "scan/ScanError.h"
#include "core/ErrorReport.h"
#include "core/NumberFormat.h"
#include "window/EntryListWindow.h"
#include "window/EntryWording.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QLocale>
#include <QSlider>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

namespace cp {

void MainWindow::changeEntries(const std::function<void()>& change)
{
    m_entryList ? m_entryList->replaceScan(change) : change();
}

void MainWindow::showScanStarting(const std::string& path)
{
    for (int i : {SaveAll, Previous, Play, Stop, Save, Next})
        setButton(i, false);
    setWindowTitle(QString::fromStdString(fileNamePart(path)) + QStringLiteral(" - ")
                   + QString::fromUtf8(kApplicationTitle));
    m_figures.showScanStarting();
}

void MainWindow::showNoFile()
{
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    m_figures.showNoFile();
}

void MainWindow::previousCommand()
{
    // Back never enables Previous and Save: an entry is current only after Next did.
    if (m_entries.previous())
        showNewCurrentEntry(QStringLiteral("nicht so toll"));
}

void MainWindow::nextCommand()
{
    if (m_entries.next())
        showSteppedOnEntry();
}

void MainWindow::showEntry(std::int64_t entry)
{
    runCommand([this, entry] { goToEntry(entry); });
}

void MainWindow::goToEntry(std::int64_t entry)
{
    // The same loading, buttons and words as stepping on to it.
    if (m_entries.goTo(entry))
        showSteppedOnEntry();
}

void MainWindow::showSteppedOnEntry()
{
    setButton(Previous, true);
    setButton(Save, true);
    showNewCurrentEntry(QStringLiteral("ganz schlecht"));
}

void MainWindow::showNewCurrentEntry(const QString& zeroLengthWord)
{
    m_context.player.load(m_entries.currentFile());
    m_figures.describe(m_entries.currentFile());
    if (m_entryList)
        m_entryList->followCurrentEntry(m_entries.current());
    m_figures.showEntry(m_entries.current(), m_entries.count(), m_entries.currentFile(), m_context.player.lengthMs(),
                        zeroLengthWord);
}

} // namespace cp
