// SPDX-License-Identifier: GPL-3.0-or-later
// A scan seen from the window: live figures, the progress bar, the busy pointer.
#include "MainWindow.h"

#include "base/CommandLine.h"
#include "base/PathHelpers.h"
#include "scan/WaveEntryScanner.h"
#include "playback/WaveDevice.h"
#include "core/NumberFormat.h"
#include "window/EntryListWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>

#include <algorithm>
#include <limits>

namespace cp {

namespace {
constexpr int kDisplayIntervalMs = 40; // how often a scan refreshes its figures
} // namespace

void MainWindow::ScanFile(const std::string& path)
{
    m_scanning = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset {m_scanning};
    WaveEntryScanner scanner(m_context.table, m_context.startup, &m_context.device, this);
    scanner.ScanFile(path);
}

int MainWindow::progressUnits(std::int64_t position) const
{
    // A progress bar counts in int; longer files are shown to scale.
    constexpr std::int64_t kMax = std::numeric_limits<int>::max();
    if (m_scanLength <= kMax)
        return int(std::clamp<std::int64_t>(position, 0, kMax));
    return int(double(position) / double(m_scanLength) * double(kMax));
}

void MainWindow::scanStarting(const std::string& path)
{
    for (int i : {SaveAll, Previous, Play, Stop, Save, Next})
        setButton(i, false);
    setWindowTitle(QString::fromStdString(GetFileName(path)) + QStringLiteral(" - ") + QString::fromUtf8(kApplicationTitle));
    m_txtEntrycount->setText(QStringLiteral("0"));
    m_frame[1]->setTitle(QStringLiteral("aktueller Eintrag: keiner"));
    setEntryToolTip({});
    m_txtEntryLength->setText(QStringLiteral("0 Sekunden"));
    m_txtEntrysize->setText(QStringLiteral("0 Byte"));
    m_txtQuality->setText(QStringLiteral("mies"));
    m_txtUnknownData->setText(QStringLiteral("100%"));
    SetBusy();
    m_scanLength = 0;
    m_shownHits = -1;
    m_pendingHits = 0;
    m_anyHit = false;
    m_displayClock.start();
    // The list empties with the entry files it showed, and fills again when the scan is done.
    m_scanTags.clear();
    const auto forget = [this] { m_positions = EntryPositions(); };
    m_entryList ? m_entryList->replaceScan(forget) : forget();
}

void MainWindow::fileOpened(std::int64_t length)
{
    m_scanLength = length;
    m_txtFilesize->setText(FormatGrouped(length, QLocale()) + QStringLiteral(" Byte"));
    m_pgbParsing->setRange(0, std::max(1, progressUnits(length)));
    m_pgbParsing->setValue(0);
    m_pgbParsing->raise();
    m_pendingProgress = 0;
    flushScanDisplay();
    QCoreApplication::processEvents();
}

void MainWindow::blockStarted(std::int64_t position)
{
    m_pendingProgress = position;
}

void MainWindow::tagFound(std::int64_t hitCount, std::int64_t position, double runningShare)
{
    m_pendingHits = hitCount;
    m_pendingShare = runningShare;
    m_pendingProgress = position;
    m_anyHit = true;
    if (!m_context.startup.TargetGiven) // a batch run shows no list
        m_scanTags.push_back(position);
}

void MainWindow::flushScanDisplay()
{
    if (m_anyHit && m_pendingHits != m_shownHits) {
        m_txtEntrycount->setText(QString::number(m_pendingHits));
        m_txtUnknownData->setText(FormatShare(m_pendingShare, QLocale()));
        m_shownHits = m_pendingHits;
    }
    m_pgbParsing->setValue(progressUnits(m_pendingProgress));
}

void MainWindow::searchFinished(std::int64_t entryCount, std::int64_t firstTag, double finalShare)
{
    m_firstTag = firstTag;
    flushScanDisplay();
    m_txtEntrycount->setText(QString::number(entryCount));
    m_finalShare = entryCount > 0 ? finalShare : 1.0;
    if (entryCount > 0)
        m_txtUnknownData->setText(FormatShare(finalShare, QLocale()));
}

bool MainWindow::stopRequested()
{
    // Counted from one refresh to the next: when handling events took long,
    // the figures are due again at once.
    if (m_displayClock.elapsed() >= kDisplayIntervalMs) {
        m_displayClock.restart();
        flushScanDisplay();
        QCoreApplication::processEvents();
    }
    return m_closeRequested;
}

void MainWindow::scanEnded(bool completed) noexcept
{
    if (completed && m_context.table.EntryCount > 0) {
        setButton(Next, true);
        setButton(SaveAll, true);
    }
    // Never throws: the tags are moved, not copied.
    const auto keep = [this, completed] {
        if (completed && std::int64_t(m_scanTags.size()) == m_context.table.EntryCount)
            m_positions = {m_context.table.ScannedFile, m_scanLength, std::move(m_scanTags)};
        m_scanTags = {};
    };
    m_entryList ? m_entryList->replaceScan(keep) : keep();
    m_pgbParsing->lower();
    SetBusy(true);
}

} // namespace cp
