// SPDX-License-Identifier: GPL-3.0-or-later
#include "CopyQueue.h"

#include "SaveError.h"
#include "base/PathHelpers.h"
#include "base/ThreadStart.h"

#include <algorithm>
#include <set>
#include <system_error>

namespace cp {

namespace {

// A copy killed under a temporary name leaves it behind; the first copy into
// a folder removes such files, later ones need not read the folder again.
void sweepFolderOnce(const std::string& folder)
{
    static std::mutex mutex;
    static std::set<std::string> swept;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (!swept.insert(folder).second)
            return;
    }
    removeStaleTemporaries(folder);
}

// A complete copy that has no name yet.
struct UnnamedCopy {
    std::string file; // the name it is to take, links followed
    std::int64_t bytes = 0;
    std::optional<FileWriter> writer;
};

void writeCopy(UnnamedCopy& copy, const std::string& source, const std::string& target, bool throughLinks, bool unnamed,
               const FileWriter::KeepGoing& keepGoing, std::optional<std::int64_t> length)
{
    const SourceReader reader(source);
    // Through a symbolic link to its file, as cp and editors write, so the link stays.
    copy.file = throughLinks ? followLinks(target) : target;
    // The new file is made beside the file it becomes, so that it can be renamed into place.
    const auto cut = copy.file.find_last_of(kPathSeparator);
    const std::string folder = cut == std::string::npos ? "." : copy.file.substr(0, cut + 1);
    sweepFolderOnce(folder);
    copy.writer.emplace(folder, target, unnamed);
    copy.bytes = length.value_or(reader.size());
    copy.writer->copyFrom(reader, 0, copy.bytes, keepGoing);
}

bool nameCopy(UnnamedCopy& copy, bool replace)
{
    FileIdentity identity;
    return copy.writer->publish(copy.file, &identity, replace);
}

} // namespace

CopyOutcome copyWholeFile(const std::string& source, const std::string& target, bool replace,
                          const FileWriter::KeepGoing& keepGoing, std::int64_t* copied,
                          std::optional<std::int64_t> length)
{
    UnnamedCopy copy;
    writeCopy(copy, source, target, true, unnamedFilesCanBeNamed(), keepGoing, length);
    if (!nameCopy(copy, replace))
        return CopyOutcome::TargetExists;
    if (copied)
        *copied = copy.bytes;
    return CopyOutcome::Copied;
}

struct CopyQueue::Written {
    bool replace;
    Result result;
    UnnamedCopy copy;
};

CopyQueue::CopyQueue(void (*beforeStart)(unsigned))
    : m_unnamed(unnamedFilesCanBeNamed()) // asked once: each ask is a system call
{
    if (startThreads(
            m_threads, kParallelCopies, [this] { run(); }, beforeStart)
        == 0)
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
}

CopyQueue::~CopyQueue()
{
    stop();
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_finished = true;
    }
    m_work.notify_all();
    for (auto& thread : m_threads)
        thread.join();
}

void CopyQueue::add(std::string source, std::string target, bool replace, std::optional<std::int64_t> length)
{
    bool wake;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_waiting.push_back({std::move(source), std::move(target), replace, length, m_added++});
        wake = m_idle > 0; // a busy thread finds it when done
    }
    if (wake)
        m_work.notify_one();
}

std::optional<CopyQueue::Result> CopyQueue::next(std::chrono::milliseconds patience, std::size_t ready)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const std::size_t wanted = std::min(ready, m_added - m_taken);
    if (m_outcomes.size() < wanted) {
        m_wanted = wanted;
        m_answered.wait_for(lock, patience, [&] { return m_outcomes.size() >= wanted; });
        m_wanted = 0;
    }
    if (m_outcomes.empty())
        return std::nullopt;
    Result result = std::move(m_outcomes.front());
    m_outcomes.pop_front();
    ++m_taken;
    return result;
}

void CopyQueue::stop(bool dropWaiting)
{
    m_stop = true;
    if (dropWaiting) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_dropWaiting = true;
    }
}

void CopyQueue::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        ++m_idle;
        m_work.wait(lock, [&] { return !m_waiting.empty() || m_finished; });
        --m_idle;
        if (m_waiting.empty())
            return;
        const Job job = std::move(m_waiting.front());
        m_waiting.pop_front();
        std::unique_ptr<Written> written;
        if (m_dropWaiting) {
            written = std::make_unique<Written>(); // dropped unbegun: Stopped
        } else {
            lock.unlock();
            written = write(job);
            lock.lock();
        }
        m_written.emplace(job.slot, std::move(written));
        nameInOrder(lock);
    }
}

std::unique_ptr<CopyQueue::Written> CopyQueue::write(const Job& job)
{
    auto written = std::make_unique<Written>();
    written->replace = job.replace;
    Result& result = written->result;
    try {
        std::int64_t told = 0;
        // A name found free needs no look for a link: one made since makes the name taken.
        writeCopy(
            written->copy, job.source, job.target, job.replace, m_unnamed,
            [&](std::int64_t copied) {
                m_bytesCopied.fetch_add(copied - told, std::memory_order_relaxed);
                told = copied;
                return copied == 0 || !m_stop;
            },
            job.length);
        m_bytesCopied.fetch_add(written->copy.bytes - told, std::memory_order_relaxed); // its last piece
        result.outcome = Result::Copied;
        result.bytes = written->copy.bytes;
    } catch (const SaveStopped&) {
        result.outcome = Result::Stopped;
    } catch (...) {
        result.outcome = Result::Failed;
        result.failure = std::current_exception();
    }
    return written;
}

// Called and left with the lock held; the naming itself runs without it. A
// thread whose copy must wait for an earlier one leaves it here and copies the
// next, so that neither thread waits for the other.
void CopyQueue::nameInOrder(std::unique_lock<std::mutex>& lock)
{
    if (m_naming)
        return; // the thread naming finds it
    m_naming = true;
    for (auto it = m_written.find(m_nextToName); it != m_written.end(); it = m_written.find(m_nextToName)) {
        std::unique_ptr<Written> written = std::move(it->second);
        m_written.erase(it);
        Result& result = written->result;
        if (result.outcome == Result::Copied && m_dropRest)
            result.outcome = Result::Stopped;
        lock.unlock();
        if (result.outcome == Result::Copied) {
            try {
                if (!nameCopy(written->copy, written->replace))
                    result.outcome = Result::TargetExists;
            } catch (...) {
                result.outcome = Result::Failed;
                result.failure = std::current_exception();
            }
        }
        written->copy.writer.reset(); // a file left unnamed goes here, not under the lock
        lock.lock();
        m_dropRest = m_dropRest || result.outcome == Result::Stopped;
        m_outcomes.push_back(std::move(result));
        ++m_nextToName;
        if (m_wanted != 0 && m_outcomes.size() >= m_wanted)
            m_answered.notify_one();
    }
    m_naming = false;
}

} // namespace cp
