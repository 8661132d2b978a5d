// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScanController.h"

#include "batch/BatchRun.h"
#include "window/RaisedFlag.h"
#include "core/NumberFormat.h"
#include "scan/WaveEntryScanner.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>

#include <algorithm>
#include <limits>

namespace cp {

namespace {

constexpr int kDisplayIntervalMs = 40; // how often a scan refreshes its figures

} // namespace

ScanController::ScanController(Widgets widgets, std::function<bool()> closing)
    : m_widgets(widgets)
    , m_closing(std::move(closing))
{
}

ScanResult ScanController::scan(EntryFolder& folder, const std::string& path)
{
    const RaisedFlag running(m_running);
    m_keepTags = true;
    ScanResult result;
    try {
        WaveEntryScanner(folder, this).scanFile(path, result);
    } catch (...) {
        m_tags.clear();
        result.release(nullptr); // nobody has opened them yet
        throw;
    }
    if (std::int64_t(m_tags.size()) != result.entryCount)
        m_tags.clear();
    return result;
}

int ScanController::runBatch(const StartupState& state)
{
    const RaisedFlag running(m_running);
    m_keepTags = false;
    return cp::runBatch(state, QLocale(), stdout, stderr, nullptr, this);
}

int ScanController::progressUnits(std::int64_t position) const
{
    // A progress bar counts in int; longer files are shown to scale.
    constexpr std::int64_t kMax = std::numeric_limits<int>::max();
    if (m_length <= kMax)
        return int(position);
    return int(double(position) / double(m_length) * double(kMax));
}

void ScanController::scanStarting(const std::string&)
{
    m_widgets.entryCount->setText(QStringLiteral("0"));
    m_widgets.unknownData->setText(QStringLiteral("100%"));
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    m_length = 0;
    m_shownHits = -1;
    m_pendingHits = 0;
    m_anyHit = false;
    m_tags.clear();
    m_displayClock.start();
}

void ScanController::fileOpened(std::int64_t length)
{
    m_length = length;
    m_widgets.fileSize->setText(formatGrouped(length, QLocale()) + QStringLiteral(" Byte"));
    m_widgets.progress->setRange(0, std::max(1, progressUnits(length)));
    m_widgets.progress->raise();
    m_pendingProgress = 0;
    flush(); // also sets the bar back to its start
    QCoreApplication::processEvents();
}

void ScanController::tagFound(std::int64_t hitCount, std::int64_t position, double runningShare)
{
    m_pendingHits = hitCount;
    m_pendingShare = runningShare;
    m_pendingProgress = position;
    m_anyHit = true;
    if (m_keepTags)
        m_tags.push_back(position);
}

void ScanController::flush()
{
    if (m_anyHit && m_pendingHits != m_shownHits) {
        m_widgets.entryCount->setText(QString::number(m_pendingHits));
        m_widgets.unknownData->setText(formatShare(m_pendingShare, QLocale()));
        m_shownHits = m_pendingHits;
    }
    m_widgets.progress->setValue(progressUnits(m_pendingProgress));
}

void ScanController::searchFinished(std::int64_t entryCount, std::int64_t, double finalShare)
{
    flush();
    m_widgets.entryCount->setText(QString::number(entryCount));
    if (entryCount > 0)
        m_widgets.unknownData->setText(formatShare(finalShare, QLocale()));
}

bool ScanController::stopRequested()
{
    // Counted from one refresh to the next: when handling events took long,
    // the figures are due again at once.
    if (m_displayClock.elapsed() >= kDisplayIntervalMs) {
        m_displayClock.restart();
        flush();
        QCoreApplication::processEvents();
    }
    return m_closing();
}

void ScanController::scanEnded(bool) noexcept
{
    m_widgets.progress->lower();
    QGuiApplication::restoreOverrideCursor();
}

} // namespace cp
