// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ScanResult.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>
#include <utility>
#include <vector>

namespace cp {

// Deletes the entry files of scans let go of, on a thread of its own: on a
// slow disk a hundred thousand unlinks take minutes, and the next scan need
// not wait for them. Whoever may hold one of the files open lets go of it
// before handing the list over.
class EntryFileRemover {
public:
    // How one list's files go; the list's own removeOwned unless given.
    using Removal = std::function<void(EntryFileList&)>;

    explicit EntryFileRemover(Removal removal = {});
    // Waits until every list handed over has been dealt with: the files are
    // gone when the program ends.
    ~EntryFileRemover();
    EntryFileRemover(const EntryFileRemover&) = delete;
    EntryFileRemover& operator=(const EntryFileRemover&) = delete;

    // Takes the files over and returns at once. bytes: what they take on
    // disk at most, counted by pendingBytes() until they are gone.
    void hand(EntryFileList&& files, std::int64_t bytes);
    // Whether files handed over are still to be deleted.
    bool busy() const;
    std::int64_t pendingBytes() const;
    // Waits for the files handed over to be dealt with, at most timeout;
    // true when they are.
    bool waitFor(std::chrono::milliseconds timeout);

private:
    struct Handed {
        EntryFileList files;
        std::int64_t bytes = 0;
    };
    void run(std::stop_token stop);
    // Deletes what it can of the files, and of those that would not go before.
    void remove(Handed& handed);

    Removal m_removal;
    mutable std::mutex m_mutex;
    std::condition_variable_any m_changed;
    std::deque<Handed> m_waiting;
    bool m_removing = false;
    std::int64_t m_pendingBytes = 0;
    std::vector<EntryFileList> m_undeleted; // tried again with the next list; the remover's thread only
    std::jthread m_thread;                  // started with the first list
};

} // namespace cp
