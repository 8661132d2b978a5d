// SPDX-License-Identifier: GPL-3.0-or-later
// A start that must write the desktop association (fresh XDG folders) against
// one that finds it in place, alternating in one run: a headless batch run of
// a one-entry file, so the figures are the start-up and little else.
// Usage: bench_startup CHUNKPICKER WORKDIR [ROUNDS]
#include "BenchSupport.h"
#include "support/Fixtures.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

using namespace cpbench;

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s CHUNKPICKER WORKDIR [ROUNDS]\n", argv[0]);
        return 2;
    }
    const std::string program = argv[1], work = argv[2];
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 21;
    ::mkdir(work.c_str(), 0755);
    std::ofstream(work + "/one.ffl") << "RIFF....WAVE";
    // No xdg folder: no home to register in, the start without any association.
    auto run = [&](const std::string& xdg, const std::string& out) {
        ::mkdir(out.c_str(), 0755);
        std::vector<std::string> env = {"DISPLAY=", "WAYLAND_DISPLAY=", "HOME=", "XDG_DATA_HOME=", "XDG_CONFIG_HOME="};
        if (!xdg.empty())
            env = {"DISPLAY=", "WAYLAND_DISPLAY=", "XDG_DATA_HOME=" + xdg + "/data",
                   "XDG_CONFIG_HOME=" + xdg + "/config"};
        const auto t = Clock::now();
        const auto r = cptest::RunProgram({program, work + "/one.ffl", out}, env);
        const double seconds = secondsSince(t);
        if (r.status != 0)
            std::fprintf(stderr, "status %d: %s\n", r.status, r.err.c_str());
        removeTree(out);
        return seconds;
    };
    run(work + "/kept", work + "/out"); // registers once; later starts find it in place
    std::vector<double> fresh, kept, none;
    for (int r = 0; r < rounds; ++r) {
        fresh.push_back(run(work + "/fresh" + std::to_string(r), work + "/out"));
        kept.push_back(run(work + "/kept", work + "/out"));
        none.push_back(run("", work + "/out"));
    }
    std::printf(
        "start (median of %d) with the association to write/in place: %.2f; in place/no home to register in: %.2f"
        "  [%.1f ms, %.1f ms, %.1f ms]\n",
        rounds, median(fresh) / median(kept), median(kept) / median(none), median(fresh) * 1000, median(kept) * 1000,
        median(none) * 1000);
    removeTree(work);
    return 0;
}
