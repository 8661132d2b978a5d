// SPDX-License-Identifier: GPL-3.0-or-later
#include "EntryWriter.h"

#include "RunJournal.h"
#include "ThreadStart.h"
#include "ScanError.h"

#include <algorithm>
#include <optional>

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
    m_changed.notify_all();
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
            try {
                writeEntry(entry, lock);
            } catch (const ScanStopped&) {
                throw;
            } catch (...) {
                m_failure = std::current_exception();
            }
        }
        batch.clear();
        return true;
    }
    const bool room
        = m_changed.wait_for(lock, patience, [&] { return m_failure || m_queue.size() + batch.size() <= kCapacity; });
    if (m_failure) {
        batch.clear();
        return true;
    }
    if (!room)
        return false;
    m_queue.insert(m_queue.end(), batch.begin(), batch.end());
    batch.clear();
    lock.unlock();
    m_changed.notify_all();
    return true;
}

void EntryWriter::finish()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_finished = true;
    }
    m_changed.notify_all();
}

std::int64_t EntryWriter::waitWritten(std::chrono::milliseconds patience)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, patience, [&] { return m_finished && m_running == 0; });
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

void EntryWriter::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    try {
        for (;;) {
            m_changed.wait(lock, [&] { return !m_queue.empty() || m_finished || m_failure; });
            if (m_stop || m_failure || m_queue.empty())
                break;
            const Entry entry = m_queue.front();
            m_queue.pop_front();
            if (m_queue.size() + 1 == kCapacity / 2)
                m_changed.notify_all(); // room for the search again
            writeEntry(entry, lock);
        }
    } catch (const ScanStopped&) {
        // Stopped from outside: what is complete stays, nothing half.
    } catch (...) {
        if (!m_failure)
            m_failure = std::current_exception();
    }
    --m_running;
    lock.unlock();
    m_changed.notify_all();
}

// Called and left with the lock held; the copying itself runs without it.
void EntryWriter::writeEntry(const Entry& entry, std::unique_lock<std::mutex>& lock)
{
    std::size_t slot = m_files.size();
    try {
        std::string name = m_folder.nextFileName(m_path);
        slot = m_files.reserve(m_folder.lastNumber);
        std::optional<EntryFileWriter> writer;
        {
            lock.unlock();
            struct Relock {
                std::unique_lock<std::mutex>& lock;
                ~Relock() { lock.lock(); }
            } relock {lock};
            writer.emplace(m_folder.path, name, m_unnamed);
            // Inline, this is the scanning thread, which may ask whether to stop.
            writer->copyFrom(m_source, entry.offset, entry.length,
                             [this](std::int64_t) { return !m_stop && !(m_inline && m_stopping && m_stopping()); });
        }
        // An entry waits for the ones before it; after a stop or a failure
        // before it, it is dropped whole.
        m_changed.wait(lock, [&] { return slot == m_nextToPublish || m_stop || slot > m_failedSlot; });
        if (m_stop || slot > m_failedSlot)
            throw ScanStopped();
        FileIdentity identity;
        // The name can be taken between the test and now; take the next.
        while (!writer->publish(name, &identity)) {
            name = m_folder.nextFileName(m_path);
            m_files.renumber(slot, m_folder.lastNumber);
        }
        m_files.settle(slot, identity);
        if (m_folder.journal)
            m_folder.journal->recordEntry(m_files.number(slot), identity);
        ++m_nextToPublish;
        m_bytesWritten.fetch_add(entry.length, std::memory_order_relaxed);
        m_written.fetch_add(1, std::memory_order_release);
        m_changed.notify_all();
    } catch (const ScanStopped&) {
        throw;
    } catch (...) {
        m_failedSlot = std::min(m_failedSlot, slot);
        m_changed.notify_all();
        throw;
    }
}

} // namespace cp
