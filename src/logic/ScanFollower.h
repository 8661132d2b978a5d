// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/NumberFormat.h"
#include "base/StartupState.h"
#include "scan/ScanObserver.h"
#include "scan/ScanResult.h"

#include <chrono>
#include <cstdint>
#include <stop_token>
#include <string>

namespace cp {

class MainWindowFace;
struct MainWindowView;

// The window's scans as the window follows them: the progress bar over the
// toolbar, the running figures of the whole-file group, the busy pointer,
// and the face kept answering meanwhile, so that closing it stops the scan.
class ScanFollower final : private ScanObserver {
public:
    struct Context {
        MainWindowView& view;
        MainWindowFace& face;
        NumberStyle style;
        std::stop_token closing; // looked at while a scan runs; a stop ends it
    };
    explicit ScanFollower(Context context) : m_context(std::move(context)) {}
    bool running() const { return m_running; }
    // Scans path into the folder and returns what it found. When the scan
    // fails or is stopped, the entry files it wrote are deleted and the
    // scanner's exception is passed on.
    ScanResult scan(EntryFolder& folder, const std::string& path);
    // The one batch run, shown here; its exit status.
    int runBatch(const StartupState& state);

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

    Context m_context;
    bool m_running = false;
    // The latest figures, shown at most every few tens of milliseconds.
    std::chrono::steady_clock::time_point m_lastShown;
    std::int64_t m_length = 0;
    std::int64_t m_shownHits = -1, m_pendingHits = 0;
    double m_pendingShare = 1.0;
    std::int64_t m_pendingProgress = 0;
    bool m_anyHit = false;
};

} // namespace cp
