// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ScanResult.h"
#include "files/FileIo.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cp {

// Writes a scan's entry files on threads of their own, so that the copying
// need not wait for the search to end, and two copies can run side by side.
// Entries arrive in order through a bounded queue and take their names in
// entry order, so that however a run ends (a stop, a failure, a kill) the
// names present are entries 1 to N, never with a gap. No thread waits for
// another to name its entry: a copy complete out of turn is left for
// whichever thread completes the one before it, which names both. Only these
// threads touch the entry files and the folder's number while they run.
class EntryWriter {
public:
    struct Entry {
        std::int64_t offset; // 0-based
        std::int64_t length;
    };
    static constexpr std::size_t kCapacity = 65'536; // entries waiting, 16 bytes each
    // Complete copies waiting for their names at most, each an open file.
    static constexpr std::size_t kAhead = 32;

    // Starts the threads; files becomes an empty list of this scan's. Where no thread can be started, entries are written as they are
    // offered, and stopping() is asked between the pieces of a copy.
    // beforeStart (if any) is called before each thread is started.
    EntryWriter(EntryFolder& folder, EntryFileList& files, const SourceReader& source, const std::string& path,
                bool unnamed, std::function<bool()> stopping, void (*beforeStart)(unsigned) = nullptr);
    // Stops and waits for the threads; entries being written are dropped whole.
    ~EntryWriter();
    EntryWriter(const EntryWriter&) = delete;
    EntryWriter& operator=(const EntryWriter&) = delete;

    // Hands the entries over when there is room within the patience, or drops
    // them once the writing has failed (nothing more will be written): true,
    // and the batch is empty. False: no room yet, ask again.
    bool offer(std::vector<Entry>& batch, std::chrono::milliseconds patience);
    // No more entries will come.
    void finish();
    // Waits up to the patience, or until all is written; how many entry files are complete.
    std::int64_t waitWritten(std::chrono::milliseconds patience);
    // Every entry handed over is written, or the writing has failed.
    bool done();
    // Throws what made the writing fail, if anything did.
    void rethrowFailure();
    // Entry files complete so far, and their bytes; a glance, for showing progress.
    std::int64_t written() const { return m_written.load(std::memory_order_relaxed); }
    std::int64_t bytesWritten() const { return m_bytesWritten.load(std::memory_order_relaxed); }

private:
    struct Copy {
        std::unique_ptr<FileWriter> file;
        std::int64_t length = 0;
        std::string name; // a shaped entry's, before numbering
    };
    void run();
    bool mayTakeEntry() const;
    void writeEntry(const Entry& entry, std::unique_lock<std::mutex>& lock);
    void nameCompleteCopies(std::unique_lock<std::mutex>& lock);
    std::int64_t publish(FileWriter& file, std::int64_t number, FileIdentity& identity);
    std::string publishShaped(const Copy& copy, std::size_t slot, FileIdentity& identity);
    void fail(std::size_t slot, std::exception_ptr failure);

    EntryFolder& m_folder;
    EntryFileList& m_files;
    const SourceReader& m_source;
    std::string m_path;
    bool m_unnamed;
    std::function<bool()> m_stopping;
    bool m_inline = false;

    std::mutex m_mutex;                // guards everything below, the entry files and the folder's number
    std::condition_variable m_work;    // the threads: an entry to take, or the end
    std::condition_variable m_room;    // the search: room in the queue, or a failure
    std::condition_variable m_allDone; // the waiters: every thread has ended
    std::deque<Entry> m_queue;
    bool m_finished = false;
    bool m_naming = false;                             // a thread is naming complete copies
    int m_running = 0;                                 // threads not yet ended
    std::size_t m_nextSlot = 0;                        // the slot of the next entry taken from the queue
    std::size_t m_nextToName = 0;                      // the slot whose entry takes its name next
    std::size_t m_failedSlot = SIZE_MAX;               // the first entry that failed; none after it is named
    int m_copying = 0;                                 // copies under way
    std::atomic<std::size_t> m_giveWayFrom {SIZE_MAX}; // copies of this slot and later stop for an earlier one
    std::array<Copy, kAhead> m_complete;               // copies waiting for their names, at slot % kAhead
    std::exception_ptr m_failure;
    std::atomic<bool> m_stop {false};
    std::atomic<std::int64_t> m_written {0};
    std::atomic<std::int64_t> m_bytesWritten {0};
    std::vector<std::thread> m_threads;
};

} // namespace cp
