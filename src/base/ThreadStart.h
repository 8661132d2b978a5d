// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <thread>
#include <vector>

namespace cp {

// Starts up to count threads that run body, as many as can be had: a start
// fails for want of memory or of a thread (std::system_error,
// std::bad_alloc), and those started before it go on without it.
// beforeStart (if any) is told each thread's index first and may throw as a
// start can. Returns how many threads were started.
unsigned startThreads(std::vector<std::thread>& threads, unsigned count, const std::function<void()>& body,
                      void (*beforeStart)(unsigned) = nullptr);

} // namespace cp
