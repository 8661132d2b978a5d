// SPDX-License-Identifier: GPL-3.0-or-later
// A scan through the window (offscreen, with all its display updates)
// against the batch run of the same file, alternating in one run.
// Usage: bench_window_scan WORKDIR [ROUNDS] [ENTRIES]
#include "BenchSupport.h"
#include "BenchWindow.h"
#include "window/QtNumberStyle.h"
#include "batch/BatchRun.h"

#include <QApplication>
#include <QLocale>

#include <sys/stat.h>

using namespace cpbench;

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s WORKDIR [ROUNDS] [ENTRIES]\n", argv[0]);
        return 2;
    }
    const std::string work = argv[1];
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    const int entries = argc > 3 ? std::atoi(argv[3]) : 100'000;
    const std::string source = makeBenchArchive(work, entries, 700);
    FILE* devnull = std::fopen("/dev/null", "w");

    std::vector<double> window, batch;
    for (int r = 0; r < rounds; ++r) {
        cp::StartupState state;
        state.sourceFile = source;
        // Fresh folders, deleted only at the end: ext4 creates files slowly
        // next to inodes it has just freed, which would blur the rounds.
        state.targetFolder = work + "/batch" + std::to_string(r);
        state.targetGiven = true;
        ::mkdir(state.targetFolder.c_str(), 0755);
        auto t = Clock::now();
        if (cp::runBatch(state, cp::numberStyleOf(QLocale()), devnull, stderr) != 0)
            return 1;
        batch.push_back(secondsSince(t));

        {
            BenchWindow bench(work, work + "/window" + std::to_string(r));
            t = Clock::now();
            bench.open(source);
            window.push_back(secondsSince(t));
            if (bench.entries().count() != entries) {
                std::fprintf(stderr, "window found %lld entries\n", static_cast<long long>(bench.entries().count()));
                return 1;
            }
        }
        std::printf("round %d: window %.3f s, batch %.3f s\n", r + 1, window.back(), batch.back());
    }
    std::printf("window/batch (median of %d): %.2f  [window %.3f s, batch %.3f s]\n", rounds,
                median(window) / median(batch), median(window), median(batch));
    removeTree(work);
    return 0;
}
