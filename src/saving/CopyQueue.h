// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/FileIo.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace cp {

enum class CopyOutcome { Copied, TargetExists };

// Copies the whole of source to target (a full file path) through a new
// file in the target's folder, so the target name only ever holds a complete
// copy, and a failed or stopped copy leaves the file it was to replace whole.
// With a length, only the source's first length bytes are the copy (an
// original within its entry); a source shorter than that fails.
// Without replace an existing target is left alone and reported; the source is
// only read. copied (if given) receives the bytes of a complete copy. Throws
// SaveError naming the file at fault, SaveStopped when keepGoing says no.
CopyOutcome copyWholeFile(const std::string& source, const std::string& target, bool replace,
                          const FileWriter::KeepGoing& keepGoing = {}, std::int64_t* copied = nullptr,
                          std::optional<std::int64_t> length = {});

// Copies whole files as copyWholeFile does, on threads of their own, two side
// by side, so that many small files are not copied one after the other. The
// copies take their names in the order they were handed over, and their
// outcomes come back in that order, so that however the copying ends the
// files present are the first ones without a gap (a copy that failed aside).
class CopyQueue {
public:
    struct Result {
        enum Outcome { Copied, TargetExists, Failed, Stopped } outcome = Stopped;
        std::int64_t bytes = 0;     // of a complete copy
        std::exception_ptr failure; // why it failed: mostly a SaveError
    };

    // Starts the threads; throws std::system_error where none can be
    // started. beforeStart is startThreads' (a test's seam).
    explicit CopyQueue(void (*beforeStart)(unsigned) = nullptr);
    // Stops as stop() does and waits for the threads.
    ~CopyQueue();
    CopyQueue(const CopyQueue&) = delete;
    CopyQueue& operator=(const CopyQueue&) = delete;

    // Starts a copy of source to target, as copyWholeFile(source, target,
    // replace), except that without replace the target is taken as it stands:
    // a link there, even one leading nowhere, is a name taken (the caller
    // found the name free). The copy is under way from here on: the caller
    // asked whether to go on before it, as a copy asks before its first
    // piece, so it writes that piece whatever happens next. length: as
    // copyWholeFile's.
    void add(std::string source, std::string target, bool replace, std::optional<std::int64_t> length = {});
    // The outcome of the oldest copy whose outcome was not yet taken, once
    // ready outcomes (or all that can come) are known within the patience;
    // none when there is none yet. Asking for several at a time spares the
    // caller a wake-up for each.
    std::optional<Result> next(std::chrono::milliseconds patience, std::size_t ready = 1);
    // Copies under way stop before their next piece and leave nothing, nor
    // does any copy after them; one whose last piece is written keeps it and
    // takes its name. With dropWaiting, copies no thread has begun yet (also
    // those handed over later) are dropped rather than begun.
    void stop(bool dropWaiting = false);
    // Bytes copied so far by all copies, whole or not; for showing progress.
    std::int64_t bytesCopied() const { return m_bytesCopied.load(std::memory_order_relaxed); }

private:
    struct Job {
        std::string source, target;
        bool replace;
        std::optional<std::int64_t> length;
        std::size_t slot; // its place in the order
    };
    struct Written; // a copy made, waiting for its turn to take its name
    void run();
    std::unique_ptr<Written> write(const Job& job);
    // Names the copies whose turn has come; whichever thread finds them does it.
    void nameInOrder(std::unique_lock<std::mutex>& lock);

    const bool m_unnamed;
    std::atomic<bool> m_stop {false};
    std::atomic<std::int64_t> m_bytesCopied {0};
    std::mutex m_mutex;                                        // guards everything below
    std::condition_variable m_work;                            // for the threads: a job, or the end
    std::condition_variable m_answered;                        // for the caller: outcomes
    std::deque<Job> m_waiting;                                 // handed over, not yet taken by a thread
    std::map<std::size_t, std::unique_ptr<Written>> m_written; // by slot
    std::deque<Result> m_outcomes;                             // in order, not yet taken by next()
    std::size_t m_added = 0, m_taken = 0;
    std::size_t m_nextToName = 0; // the slot whose copy takes its name next
    std::size_t m_wanted = 0;     // outcomes the caller waits for; 0 while it does not
    int m_idle = 0;               // threads waiting for a job
    bool m_naming = false;        // a thread is naming copies
    bool m_dropRest = false;      // a copy stopped: none after it takes a name
    bool m_dropWaiting = false;
    bool m_finished = false;
    std::vector<std::thread> m_threads;
};

} // namespace cp
