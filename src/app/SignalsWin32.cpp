// SPDX-License-Identifier: GPL-3.0-or-later
#include "Signals.h"

#include <csignal>

namespace cp {

namespace {

std::atomic<bool> g_stopBatch {false};

extern "C" void requestStop(int)
{
    g_stopBatch.store(true);
}

} // namespace

// Windows has no file-size signal: a write past a limit just fails.
void keepRunningPastFileSizeLimit()
{
}

// The console's Ctrl+C arrives as SIGINT; there is no hang-up signal.
const std::atomic<bool>* stopOnSignals()
{
    for (int signal : {SIGINT, SIGTERM})
        std::signal(signal, requestStop);
    return &g_stopBatch;
}

// A window there is asked to close by its own message, which Qt handles.
void closeOnSignals(QWidget&, QObject&)
{
}

} // namespace cp
