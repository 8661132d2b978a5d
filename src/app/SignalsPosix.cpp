// SPDX-License-Identifier: GPL-3.0-or-later
#include "Signals.h"

#include <QSocketNotifier>
#include <QWidget>

#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace cp {

namespace {

int g_signalPipe[2]; // made before the handler that writes to it is installed

// Only a write is safe in a handler: the window closes in the event loop.
extern "C" void forwardSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_signalPipe[1], &byte, 1);
}

} // namespace

void closeOnSignals(QWidget& window, QObject& owner)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &owner);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char byte;
        [[maybe_unused]] const auto got = ::read(g_signalPipe[0], &byte, 1);
        window.close();
    });
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        std::signal(signal, forwardSignal);
}

} // namespace cp
