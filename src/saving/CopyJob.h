// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/NumberFormat.h"
#include "saving/CopyQuestions.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>

namespace cp {

class CopyQueue;

// The copies of one saving command, done the way the desktop's own file copy
// does them: it asks before replacing a file, shows a progress window (that
// can cancel) for a copy that takes long, and afterwards tells the user once
// what could not be copied and why. Copies go through a new file renamed into
// place, so no target is ever left half-written or lost.
class CopyJob {
public:
    struct Context {
        CopyQuestions& questions;
        DialogOwner owner;
        NumberStyle style;
        // Looked at between pieces; a stop ends the command as a cancel.
        std::stop_token stopping;
    };
    // total: the bytes all copies of the command will take, for the progress
    // window; several: more than one file, so the "all" answers are offered.
    CopyJob(Context context, std::int64_t total, bool several);
    // Copies still under way stop as at a cancel; what they finished stays.
    ~CopyJob();

    // Copies source to target: into an existing folder under the source's own
    // name, otherwise to that full path. True when the copy is complete; false
    // when it failed, was declined or cancelled. With several, the copy may
    // still run when this returns, side by side with the next: true then says
    // it is under way, and how it ended is told by reportFailures(). With a
    // length, the copy is the source's first length bytes.
    bool copyFile(const std::string& source, const std::string& target, std::optional<std::int64_t> length = {});

    // The user cancelled (or the window is closing): nothing more is copied.
    bool cancelled() const { return m_cancelled; }

    // Waits for the copies still under way (showing their progress), then
    // one warning for all the copies that failed, naming the first and why.
    void reportFailures();

private:
    struct Pending { // a copy under way
        std::string source, path;
        std::optional<std::int64_t> length;
    };
    bool stopped(); // cancelled, or the window is closing
    bool keepGoing(std::int64_t done);
    bool checkGoOn(std::int64_t done); // stopped(), or the progress window (shown) says Cancel
    // The user's answer (or the one given for all) to replacing path.
    bool mayReplace(const std::string& path);
    // The copy on this thread, one file after the other.
    bool copyHere(const Pending& copy, bool replace);
    bool startQueue();
    std::size_t copiesOut() const; // how many copies may be under way at once
    // Takes the outcomes of the copies under way, in their order, until at most keep are left.
    void settle(std::size_t keep);
    void recordFailure(const std::string& source, const std::string& path, const std::string& why);
    std::int64_t doneSoFar() const;

    Context m_context;
    std::int64_t m_total;
    std::int64_t m_done = 0;
    bool m_several;
    std::string m_progressLabel;
    std::unique_ptr<CopyQuestions::Progress> m_progress; // while a copy runs, not while a question waits
    std::optional<std::chrono::steady_clock::time_point> m_lastUpdate;
    std::optional<CopyQuestions::Replace> m_answerForAll;
    bool m_cancelled = false;
    int m_failures = 0;
    std::string m_firstFailure;
    std::optional<std::string> m_target; // the target last told, and whether it is a folder
    bool m_targetIsFolder = false;
    std::unique_ptr<CopyQueue> m_queue; // several copies side by side, when threads can be had
    bool m_noQueue = false;
    std::deque<Pending> m_pending;                  // in the order they were started
    std::int64_t m_settled = 0, m_settledBytes = 0; // copies that ended, and their bytes
};

} // namespace cp
