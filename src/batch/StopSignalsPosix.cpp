// SPDX-License-Identifier: GPL-3.0-or-later
#include "StopSignals.h"

#include <csignal>

namespace cp {

namespace {

std::atomic<bool> g_stopBatch {false};

extern "C" void requestStop(int)
{
    g_stopBatch.store(true);
}

} // namespace

void keepRunningPastFileSizeLimit()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

const std::atomic<bool>* stopOnSignals()
{
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal, requestStop);
    return &g_stopBatch;
}

} // namespace cp
