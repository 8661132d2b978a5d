// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace cp {

// What a scan tells whoever watches it: the window shows it, the batch run
// prints a summary. Calls come on the scanning thread, in this order:
// scanStarting, fileOpened, (blockStarted | tagFound)*, searchFinished,
// entriesWritten*, and scanEnded last, also after a failure.
class ScanObserver {
public:
    virtual ~ScanObserver() = default;

    // Nothing of the new file is read yet.
    virtual void scanStarting(const std::string& path) { (void)path; }
    // The source is open and has length bytes.
    virtual void fileOpened(std::int64_t length) { (void)length; }
    // Block mode reads the block that starts at the 1-based position.
    virtual void blockStarted(std::int64_t position) { (void)position; }
    // One more tag, at the 1-based position; hitCount hits so far and the
    // share of the file not yet known to belong to an entry.
    virtual void tagFound(std::int64_t hitCount, std::int64_t position, double runningShare)
    {
        (void)hitCount, (void)position, (void)runningShare;
    }
    // The search is over; firstTag (1-based) and finalShare are only
    // meaningful when entryCount > 0.
    virtual void searchFinished(std::int64_t entryCount, std::int64_t firstTag, double finalShare)
    {
        (void)entryCount, (void)firstTag, (void)finalShare;
    }
    // Entries 1 to written of total are complete on disk. Entries are
    // published in order, so this is a count however many threads write.
    virtual void entriesWritten(std::int64_t written, std::int64_t total) { (void)written, (void)total; }
    // The scan is over; completed is false when it failed or was stopped.
    virtual void scanEnded(bool completed) noexcept { (void)completed; }

    // Asked after every callback above; true makes the scan end with ScanStopped.
    virtual bool stopRequested() { return false; }
};

} // namespace cp
