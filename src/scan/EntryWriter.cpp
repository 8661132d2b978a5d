// SPDX-License-Identifier: GPL-3.0-or-later
#include "EntryWriter.h"

#include "files/RunJournal.h"
#include "base/ThreadStart.h"
#include "ScanError.h"
#include "EntryShaper.h"
#include "OriginalFile.h"
#include "base/PathHelpers.h"

#include <algorithm>

#include <cerrno>

namespace cp {

EntryWriter::EntryWriter(EntryFolder& folder, EntryFileList& files, const SourceReader& source, const std::string& path,
                         bool unnamed, std::function<bool()> stopping, void (*beforeStart)(unsigned))
    : m_folder(folder)
    , m_files(files)
    , m_source(source)
    , m_path(path)
    , m_unnamed(unnamed && unnamedFilesCanBeNamed())
    , m_stopping(std::move(stopping))
{
    m_files = EntryFileList(m_folder.path, path);
    removeStaleTemporaries(m_folder.path);
    {
        // Each thread takes the lock before it can count itself out.
        const std::lock_guard<std::mutex> lock(m_mutex);
        // Where none can be had, the scanning thread writes instead.
        m_running = int(startThreads(
            m_threads, kParallelCopies, [this] { run(); }, beforeStart));
    }
    m_inline = m_threads.empty();
}

EntryWriter::~EntryWriter()
{
    m_stop = true;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_finished = true;
    }
    m_work.notify_all();
    for (auto& thread : m_threads)
        thread.join();
}

bool EntryWriter::offer(std::vector<Entry>& batch, std::chrono::milliseconds patience)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_inline) {
        for (const Entry& entry : batch) {
            if (m_failure)
                break;
            writeEntry(entry, lock);
        }
        batch.clear();
        return true;
    }
    const bool room
        = m_room.wait_for(lock, patience, [&] { return m_failure || m_queue.size() + batch.size() <= kCapacity; });
    if (m_failure) {
        batch.clear();
        return true;
    }
    if (!room)
        return false;
    m_queue.insert(m_queue.end(), batch.begin(), batch.end());
    batch.clear();
    lock.unlock();
    m_work.notify_all();
    return true;
}

void EntryWriter::finish()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_finished = true;
    }
    m_work.notify_all();
}

std::int64_t EntryWriter::waitWritten(std::chrono::milliseconds patience)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_allDone.wait_for(lock, patience, [&] { return m_finished && m_running == 0; });
    return m_written.load(std::memory_order_acquire);
}

bool EntryWriter::done()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_finished && m_running == 0;
}

void EntryWriter::rethrowFailure()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_failure)
        std::rethrow_exception(m_failure);
}

// A thread holds back while too many copies wait for their names: each holds
// an open file, and one long entry could otherwise make them thousands.
bool EntryWriter::mayTakeEntry() const
{
    return !m_queue.empty() && m_nextSlot - m_nextToName < kAhead;
}

void EntryWriter::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    try {
        for (;;) {
            m_work.wait(lock, [&] { return m_stop || m_failure || mayTakeEntry() || (m_finished && m_queue.empty()); });
            if (m_stop || m_failure || !mayTakeEntry())
                break;
            const Entry entry = m_queue.front();
            m_queue.pop_front();
            if (m_queue.size() + 1 == kCapacity / 2)
                m_room.notify_all(); // room for the search again
            writeEntry(entry, lock);
        }
    } catch (const ScanStopped&) {
        // Stopped from outside: what is named stays, nothing half.
    } catch (...) {
        // No memory to record a name: the entry being named counts as failed.
        fail(m_nextToName, std::current_exception());
    }
    if (--m_running == 0)
        m_allDone.notify_all();
}

void EntryWriter::fail(std::size_t slot, std::exception_ptr failure)
{
    // The first entry's failure is the one told, whichever came first in time.
    if (slot < m_failedSlot) {
        m_failedSlot = slot;
        m_failure = std::move(failure);
    }
    m_work.notify_all();
    m_room.notify_all();
}

namespace {

// The system error when the failure was the disk's being full, where a later
// entry's copy may hold the room an earlier one lacked; else 0.
int noRoomError(const std::exception_ptr& failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const ScanError& error) {
        const int code = error.systemError();
#ifdef _WIN32
        const bool full = code == 39 || code == 112; // ERROR_HANDLE_DISK_FULL, ERROR_DISK_FULL
#else
        const bool full = code == ENOSPC || code == EDQUOT;
#endif
        return full ? code : 0;
    } catch (...) {
        return 0;
    }
}

} // namespace

// Called and left with the lock held; the copying itself runs without it.
void EntryWriter::writeEntry(const Entry& entry, std::unique_lock<std::mutex>& lock)
{
    const std::size_t slot = m_nextSlot++;
    // What errors call the entry before it has its name: the name it takes
    // unless someone takes that one meanwhile.
    const std::int64_t expected = m_folder.lastNumber + std::int64_t(slot - m_nextToName) + 1;
    ++m_copying;
    const auto copyEnded = [&] {
        if (--m_copying <= 1)
            m_work.notify_all();
    };
    for (bool retried = false;; retried = true) {
        Copy copy {nullptr, entry.length, {}};
        std::exception_ptr failure;
        lock.unlock();
        try {
            std::string shownName = entryFileName(m_folder.path, expected, m_path);
            if (m_folder.shaper) {
                EntryShaper::Shape shape = m_folder.shaper->shape(m_source, slot, entry.offset, entry.length);
                copy.length = std::clamp<std::int64_t>(shape.length, 0, entry.length);
                copy.name = std::move(shape.name);
                shownName = withTrailingSeparator(m_folder.path) + copy.name;
            }
            copy.file = std::make_unique<FileWriter>(m_folder.path, shownName, m_unnamed);
            // Inline, this is the scanning thread, which may ask whether to stop.
            copy.file->copyFrom(m_source, entry.offset, copy.length, [this, slot](std::int64_t) {
                return !m_stop && slot < m_giveWayFrom.load() && !(m_inline && m_stopping && m_stopping());
            });
            if (m_folder.flushedAtEnd)
                copy.file->startWriteBack();
        } catch (const ScanStopped&) {
            lock.lock();
            copyEnded();
            throw;
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        const int full = failure && !retried && slot + 1 < m_nextSlot ? noRoomError(failure) : 0;
        if (full != 0 && slot < m_failedSlot) {
            // The copies after this one may hold the room it lacked, and none
            // of them would be named after it failed: they give way, and it
            // is tried once more alone. The next entry is not written.
            const std::string next = entryFileName(m_folder.path, expected + 1, m_path);
            fail(slot + 1, std::make_exception_ptr(ScanError(ScanError::Operation::Write, next, full)));
            m_giveWayFrom = slot + 1;
            m_work.wait(lock, [&] { return m_copying <= 1 || m_stop; });
            // Only now: a copy that ended meanwhile was put here before its thread let go of the lock.
            for (std::size_t later = slot + 1; later < m_nextSlot; ++later)
                m_complete[later % kAhead] = {};
            continue;
        }
        copyEnded();
        if (failure) {
            fail(slot, failure);
            return;
        }
        m_complete[slot % kAhead] = std::move(copy);
        nameCompleteCopies(lock);
        return;
    }
}

// Names every complete copy whose turn it is, in entry order; the thread
// that completes the copy whose turn it is does it, the others go on copying.
void EntryWriter::nameCompleteCopies(std::unique_lock<std::mutex>& lock)
{
    if (m_naming)
        return;
    m_naming = true;
    struct Done {
        bool& naming;
        ~Done() { naming = false; }
    } done {m_naming};
    while (!m_stop && m_nextToName < m_failedSlot && m_complete[m_nextToName % kAhead].file) {
        const Copy copy = std::move(m_complete[m_nextToName % kAhead]);
        std::int64_t number = m_folder.lastNumber + 1;
        FileIdentity identity;
        std::exception_ptr failure;
        lock.unlock();
        std::string name;
        try {
            if (m_folder.shaper)
                name = publishShaped(copy, m_nextToName, identity);
            else
                number = publish(*copy.file, number, identity);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        if (failure) {
            fail(m_nextToName, failure);
            break;
        }
        m_folder.lastNumber = number;
        m_files.append(number, identity, name);
        m_bytesWritten.fetch_add(copy.length, std::memory_order_relaxed);
        m_written.fetch_add(1, std::memory_order_release);
        const bool heldBack = m_nextSlot - m_nextToName >= kAhead;
        ++m_nextToName;
        if (heldBack)
            m_work.notify_all();
    }
}

// Gives the copy the first free name from number on; only the thread naming
// copies calls it, so the record needs no lock.
std::int64_t EntryWriter::publish(FileWriter& file, std::int64_t number, FileIdentity& identity)
{
    while (!file.publish(entryFileName(m_folder.path, number, m_path), &identity))
        ++number;
    if (m_folder.journal)
        m_folder.journal->recordEntry(number, identity);
    return number;
}

} // namespace cp

namespace cp {

// Gives a shaped copy its name, or the first free numbering of it.
std::string EntryWriter::publishShaped(const Copy& copy, std::size_t slot, FileIdentity& identity)
{
    for (int attempt = m_folder.shaper->firstAttempt(copy.name);; ++attempt) {
        std::string name = numberedName(copy.name, attempt);
        if (copy.file->publish(withTrailingSeparator(m_folder.path) + name, &identity)) {
            m_folder.shaper->named(slot, copy.name, attempt);
            return name;
        }
    }
}

} // namespace cp
