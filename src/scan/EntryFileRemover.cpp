// SPDX-License-Identifier: GPL-3.0-or-later
#include "EntryFileRemover.h"

#include <new>
#include <system_error>

namespace cp {

EntryFileRemover::EntryFileRemover(Removal removal) : m_removal(std::move(removal))
{
    if (!m_removal)
        m_removal = [](EntryFileList& files) { files.removeOwned(); };
}

// The thread, the last member, goes first: asked to stop, it deletes
// everything still waiting before it ends, and only then does its join return.
EntryFileRemover::~EntryFileRemover() = default;

void EntryFileRemover::hand(EntryFileList&& files, std::int64_t bytes)
{
    Handed handed {std::move(files), bytes};
    if (!m_thread.joinable()) {
        try {
            m_thread = std::jthread([this](std::stop_token stop) { run(stop); });
        } catch (const std::system_error&) {
            // No thread to be had: the files go here and now, as they must go anyway.
            remove(handed);
            return;
        }
    }
    {
        const std::lock_guard lock(m_mutex);
        m_pendingBytes += handed.bytes;
        m_waiting.push_back(std::move(handed));
    }
    m_changed.notify_all();
}

void EntryFileRemover::run(std::stop_token stop)
{
    std::unique_lock lock(m_mutex);
    // Asked to stop, it still deletes what it was handed: waiting for that is
    // what its owner's end is for.
    while (m_changed.wait(lock, stop, [this] { return !m_waiting.empty(); })) {
        Handed handed = std::move(m_waiting.front());
        m_waiting.pop_front();
        m_removing = true;
        lock.unlock();
        remove(handed);
        lock.lock();
        m_removing = false;
        m_pendingBytes -= handed.bytes;
        m_changed.notify_all();
    }
}

void EntryFileRemover::remove(Handed& handed)
{
    // Nothing may escape the thread; a list that fails (no memory for a
    // name) keeps its files owned, to be tried again with the next.
    const auto tryRemoving = [this](EntryFileList& files) {
        try {
            m_removal(files);
        } catch (...) {
        }
        return files.ownedCount() == 0;
    };
    // A file that could not be deleted before is tried again now.
    for (auto it = m_undeleted.begin(); it != m_undeleted.end();)
        it = tryRemoving(*it) ? m_undeleted.erase(it) : it + 1;
    if (!tryRemoving(handed.files)) {
        try {
            m_undeleted.push_back(std::move(handed.files));
        } catch (const std::bad_alloc&) {
            // They stay, as files that cannot be deleted do.
        }
    }
}

bool EntryFileRemover::busy() const
{
    const std::lock_guard lock(m_mutex);
    return m_removing || !m_waiting.empty();
}

std::int64_t EntryFileRemover::pendingBytes() const
{
    const std::lock_guard lock(m_mutex);
    return m_pendingBytes;
}

bool EntryFileRemover::waitFor(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [this] { return !m_removing && m_waiting.empty(); });
}

} // namespace cp
