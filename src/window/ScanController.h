// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/StartupState.h"
#include "scan/ScanObserver.h"
#include "scan/ScanResult.h"

#include <QElapsedTimer>

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

class QLineEdit;
class QProgressBar;

namespace cp {

// Runs the window's scans: the progress bar over the toolbar, the running
// figures of the whole-file group, the busy pointer, and the window kept
// answering meanwhile, so that closing it stops the scan.
class ScanController final : private ScanObserver {
public:
    struct Widgets {
        QProgressBar* progress;
        QLineEdit* fileSize;
        QLineEdit* entryCount;
        QLineEdit* unknownData;
    };

    // closing() is asked while a scan runs; true stops it.
    ScanController(Widgets widgets, std::function<bool()> closing);

    bool running() const { return m_running; }

    // Scans path into the folder and returns what it found, keeping where
    // the entries begin for takeTags(). When the scan fails or is stopped,
    // the entry files it wrote are deleted and the scanner's exception is
    // passed on.
    ScanResult scan(EntryFolder& folder, const std::string& path);
    // The one batch run, shown here; its exit status.
    int runBatch(const StartupState& state);
    // Where the entries of the last successful scan begin, handed over once.
    std::deque<std::int64_t> takeTags() { return std::exchange(m_tags, {}); }

private:
    void scanStarting(const std::string& path) override;
    void fileOpened(std::int64_t length) override;
    void blockStarted(std::int64_t position) override { m_pendingProgress = position; }
    void tagFound(std::int64_t hitCount, std::int64_t position, double runningShare) override;
    void searchFinished(std::int64_t entryCount, std::int64_t firstTag, double finalShare) override;
    void scanEnded(bool completed) noexcept override;
    bool stopRequested() override;

    int progressUnits(std::int64_t position) const;
    void flush();

    Widgets m_widgets;
    std::function<bool()> m_closing;
    bool m_running = false;
    bool m_keepTags = false; // a batch run shows no list
    std::deque<std::int64_t> m_tags;

    // The latest figures, shown at most every few tens of milliseconds.
    QElapsedTimer m_displayClock;
    std::int64_t m_length = 0;
    std::int64_t m_shownHits = -1, m_pendingHits = 0;
    double m_pendingShare = 1.0;
    std::int64_t m_pendingProgress = 0;
    bool m_anyHit = false;
};

} // namespace cp
