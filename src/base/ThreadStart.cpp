// SPDX-License-Identifier: GPL-3.0-or-later
#include "ThreadStart.h"

#include <new>
#include <system_error>

namespace cp {

unsigned startThreads(std::vector<std::thread>& threads, unsigned count, const std::function<void()>& body,
                      void (*beforeStart)(unsigned))
{
    const std::size_t before = threads.size();
    try {
        threads.reserve(before + count);
        for (unsigned i = 0; i < count; ++i) {
            if (beforeStart)
                beforeStart(i);
            threads.emplace_back(body);
        }
    } catch (const std::system_error&) {
        // No thread to be had: those started go on alone.
    } catch (const std::bad_alloc&) {
        // No memory for the thread's state: the same.
    }
    return unsigned(threads.size() - before);
}

} // namespace cp
