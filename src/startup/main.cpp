#include "startup/BatchRun.h"
#include "startup/CommandLine.h"
#include "startup/Display.h"

#include <QLocale>

#include <atomic>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::atomic<bool> g_stopBatch{false};

extern "C" void RequestStop(int)
{
    g_stopBatch.store(true);
}

} // namespace

int main(int argc, char** argv)
{
    // A write past the file-size limit must fail like any other write, not kill us.
    std::signal(SIGXFSZ, SIG_IGN);
    // System error texts in the user's language; numbers are formatted by QLocale.
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");

    const std::vector<std::string> arguments(argv + 1, argv + argc);
    cp::SystemFileProbe probe;
    cp::StartupState state;
    const bool valid = cp::ResolveCommandLine(cp::ArgumentText(arguments), probe, state);

    if (!valid) {
        std::fprintf(stderr, "%s\n", cp::InvalidParametersMessage().c_str());
        return 2;
    }
    if (state.TargetGiven) {
        std::signal(SIGINT, RequestStop);
        std::signal(SIGTERM, RequestStop);
        return cp::RunBatch(state, QLocale::system(), stdout, stderr, &g_stopBatch);
    }
    std::fprintf(stderr, "%s: Der Fensterbetrieb ist noch nicht verfügbar; bitte Quelldatei und Zielverzeichnis "
                         "angeben.\n",
                 cp::kApplicationTitle);
    return 3;
}
