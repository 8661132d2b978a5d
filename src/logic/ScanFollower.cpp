// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScanFollower.h"

#include "batch/BatchRun.h"
#include "logic/MainWindowFace.h"
#include "logic/RaisedFlag.h"
#include "scan/WaveEntryScanner.h"

#include <algorithm>
#include <limits>

namespace cp {

namespace {

constexpr auto kDisplayInterval = std::chrono::milliseconds(40); // how often a scan refreshes its figures

} // namespace

ScanResult ScanFollower::scan(EntryFolder& folder, const std::string& path)
{
    const RaisedFlag running(m_running);
    ScanResult result;
    try {
        WaveEntryScanner(folder, this).scanFile(path, result);
    } catch (...) {
        result.release(nullptr); // nobody has opened them yet
        throw;
    }
    return result;
}

int ScanFollower::runBatch(const StartupState& state)
{
    const RaisedFlag running(m_running);
    return cp::runBatch(state, m_context.style, stdout, stderr, nullptr, this);
}

int ScanFollower::progressUnits(std::int64_t position) const
{
    // A progress bar counts in int; longer files are shown to scale.
    constexpr std::int64_t kMax = std::numeric_limits<int>::max();
    if (m_length <= kMax)
        return int(position);
    return int(double(position) / double(m_length) * double(kMax));
}

void ScanFollower::scanStarting(const std::string&)
{
    MainWindowView& view = m_context.view;
    view.entryCount = "0";
    view.unknownData = "100%";
    view.busyPointer = true;
    m_shownHits = -1;
    m_pendingHits = 0;
    m_anyHit = false;
    m_lastShown = std::chrono::steady_clock::now();
    m_context.face.showView(view);
}

void ScanFollower::fileOpened(std::int64_t length)
{
    m_length = length;
    MainWindowView& view = m_context.view;
    view.fileSize = formatGrouped(length, m_context.style) + " Byte";
    view.progressMaximum = std::max(1, progressUnits(length));
    view.scanning = true;
    m_pendingProgress = 0;
    flush(); // also sets the bar back to its start
    m_context.face.keepAnswering();
}

void ScanFollower::tagFound(std::int64_t hitCount, std::int64_t position, double runningShare)
{
    m_pendingHits = hitCount;
    m_pendingShare = runningShare;
    m_pendingProgress = position;
    m_anyHit = true;
}

void ScanFollower::flush()
{
    MainWindowView& view = m_context.view;
    if (m_anyHit && m_pendingHits != m_shownHits) {
        view.entryCount = std::to_string(m_pendingHits);
        view.unknownData = formatShare(m_pendingShare, m_context.style);
        m_shownHits = m_pendingHits;
    }
    view.progress = progressUnits(m_pendingProgress);
    m_context.face.showView(view);
}

void ScanFollower::searchFinished(std::int64_t entryCount, std::int64_t, double finalShare)
{
    flush(); // the count shown is the last tag's
    if (entryCount > 0)
        m_context.view.unknownData = formatShare(finalShare, m_context.style);
    m_context.face.showView(m_context.view);
}

bool ScanFollower::stopRequested()
{
    // Counted from one refresh to the next: when handling events took long,
    // the figures are due again at once.
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastShown >= kDisplayInterval) {
        m_lastShown = now;
        flush();
        m_context.face.keepAnswering();
    }
    return m_context.closing.stop_requested();
}

void ScanFollower::scanEnded(bool) noexcept
{
    m_context.view.scanning = false;
    m_context.view.busyPointer = false;
    try {
        m_context.face.showView(m_context.view);
    } catch (...) { // out of memory drawing: the next command draws again
    }
}

} // namespace cp
