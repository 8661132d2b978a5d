// SPDX-License-Identifier: GPL-3.0-or-later
#include "StopSignals.h"

#include <windows.h>

#include <csignal>

namespace cp {

namespace {

std::atomic<bool> g_stopBatch {false};

constexpr DWORD kCloseGraceMs = 4500; // the system waits 5 s after a console's close

extern "C" void requestStop(int)
{
    g_stopBatch.store(true);
}

// Ctrl+C, Ctrl+Break and closing the console (or logging off) stop a batch
// run as a signal does on Linux. The system ends the process once the
// handler returns, or some seconds after a close: the handler holds the
// close back meanwhile, while the batch stops between two pieces and ends.
BOOL WINAPI stopBatch(DWORD event)
{
    g_stopBatch.store(true);
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        ::Sleep(kCloseGraceMs);
    return TRUE;
}

} // namespace

// Windows has no file-size signal: a write past a limit just fails.
void keepRunningPastFileSizeLimit()
{
}

const std::atomic<bool>* stopOnSignals()
{
    for (int signal : {SIGINT, SIGTERM})
        std::signal(signal, requestStop);
    ::SetConsoleCtrlHandler(stopBatch, TRUE);
    return &g_stopBatch;
}

} // namespace cp
