// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Terminal.h"
#include "scan/ScanObserver.h"

#include "base/NumberFormat.h"

#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>

namespace cp {

class WaveEntryScanner;

// What a headless batch run shows on a terminal, so that a long run can be
// told from a hung one: one line on err, redrawn in place at most ten times a
// second from the first second on, "37 % · 3.712 Einträge · 1,2 von 3,3 GiB ·
// 410 MiB/s · noch 5 s", and cleared when the scan ends, before its summary or
// error. Every call is passed on to the observer it wraps. Where err is no
// terminal it stays inactive and the run is used without it. A slow terminal
// loses lines rather than slowing the run.
class BatchProgress final : public ScanObserver {
public:
    BatchProgress(ScanObserver& inner, std::FILE* err, const NumberStyle& style);
    ~BatchProgress() override;
    BatchProgress(const BatchProgress&) = delete;
    BatchProgress& operator=(const BatchProgress&) = delete;

    bool active() const { return m_terminal.isOpen(); }
    // Where the entries written so far are counted.
    void watch(const WaveEntryScanner& scanner) { m_scanner = &scanner; }

    // The line for these figures, in the style's number format, at most room characters long.
    static std::string progressLine(std::int64_t length, std::int64_t searched, std::int64_t firstTag,
                                    std::int64_t entries, std::int64_t bytes, double seconds, const NumberStyle& style,
                                    int room = INT_MAX);

    void scanStarting(const std::string& path) override { m_inner.scanStarting(path); }
    void fileOpened(std::int64_t length) override;
    void blockStarted(std::int64_t position) override;
    void tagFound(std::int64_t hitCount, std::int64_t position, double runningShare) override;
    void searchFinished(std::int64_t entryCount, std::int64_t firstTag, double finalShare) override;
    void entriesWritten(std::int64_t written, std::int64_t total) override { m_inner.entriesWritten(written, total); }
    void scanEnded(bool completed) noexcept override { m_inner.scanEnded(completed); }
    bool stopRequested() override;

private:
    using Clock = std::chrono::steady_clock;
    void draw(Clock::time_point now);
    void clear() noexcept;

    ScanObserver& m_inner;
    NumberStyle m_style;
    const WaveEntryScanner* m_scanner = nullptr;
    Clock::time_point m_start, m_nextDraw;
    Terminal m_terminal;  // opened anew, without blocking
    int m_shownWidth = 0; // the widest line drawn, in characters
    std::int64_t m_length = 0, m_searched = 0, m_firstTag = 0;
};

} // namespace cp
