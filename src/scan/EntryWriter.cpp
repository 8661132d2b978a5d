#include "EntryWriter.h"

#include "ScanError.h"

#include <system_error>

namespace cp {

EntryWriter::EntryWriter(EntryTable& table, const StartupState& startup, const SourceReader& source,
                         const std::string& path, bool unnamed, std::function<bool()> stopping)
    : m_table(table)
    , m_startup(startup)
    , m_source(source)
    , m_path(path)
    , m_unnamed(unnamed)
    , m_stopping(std::move(stopping))
{
    m_table.EntryFiles = EntryFileList(m_startup.TargetFolder, path);
    RemoveStaleTemporaries(m_startup.TargetFolder);
    try {
        m_thread = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        m_inline = true; // no thread to be had (a memory limit, say): write on the caller's
    }
}

EntryWriter::~EntryWriter()
{
    if (m_inline)
        return;
    m_stop = true;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_finished = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

bool EntryWriter::offer(std::vector<Entry>& batch, std::chrono::milliseconds patience)
{
    if (m_inline) {
        // As the thread would: a failure is kept for later and ends the writing.
        try {
            for (const Entry& entry : batch)
                m_failure ? void() : writeEntry(entry);
        } catch (const ScanStopped&) {
            throw;
        } catch (...) {
            m_failure = std::current_exception();
        }
        batch.clear();
        return !m_failure;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    const bool room = m_changed.wait_for(lock, patience, [&] {
        return m_failure || m_queue.size() + batch.size() <= kCapacity;
    });
    if (m_failure) {
        batch.clear();
        return false;
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
    m_done = m_inline; // inline, everything handed over is already written
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_finished = true;
    }
    m_changed.notify_all();
}

std::int64_t EntryWriter::waitWritten(std::chrono::milliseconds patience)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, patience, [&] { return m_done; });
    return m_written.load(std::memory_order_acquire);
}

bool EntryWriter::done()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_done;
}

void EntryWriter::rethrowFailure()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_failure)
        std::rethrow_exception(m_failure);
}

void EntryWriter::run()
{
    std::deque<Entry> work;
    try {
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_changed.wait(lock, [&] { return !m_queue.empty() || m_finished; });
                if (m_queue.empty() || m_stop)
                    break;
                work.swap(m_queue);
            }
            m_changed.notify_all(); // there is room again
            for (; !work.empty(); work.pop_front())
                writeEntry(work.front());
        }
    } catch (const ScanStopped&) {
        // Stopped from outside: what is complete stays, nothing half.
    } catch (...) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_failure = std::current_exception();
    }
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_done = true;
    }
    m_changed.notify_all();
}

void EntryWriter::writeEntry(const Entry& entry)
{
    std::string name = NextEntryFileName(m_table, m_startup, m_path);
    EntryFileWriter writer(m_startup.TargetFolder, name, m_unnamed);
    // Inline, this is the scanning thread, which may ask whether to stop.
    writer.copyFrom(m_source, entry.offset, entry.length,
                    [this](std::int64_t) { return !m_stop && !(m_inline && m_stopping && m_stopping()); });
    if (m_stop)
        throw ScanStopped();
    FileIdentity identity;
    // The name can be taken between the test and now; take the next.
    while (!writer.publish(name, &identity))
        name = NextEntryFileName(m_table, m_startup, m_path);
    m_table.EntryFiles.add(m_table.EntryFileNumber, identity);
    // Counted without waking anyone: a million small entries would mean a
    // million switches between the threads.
    m_written.fetch_add(1, std::memory_order_release);
}

} // namespace cp
