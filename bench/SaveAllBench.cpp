// SPDX-License-Identifier: GPL-3.0-or-later
// Save all through the window (offscreen) against cp -r of the same entry
// files, alternating in one run, each round into a fresh folder; then the
// peak memory of saving one entry of the archive's whole size.
// Usage: bench_save_all WORKDIR [ROUNDS] [ENTRIES] [ENTRY_BYTES]
#include "BenchSupport.h"
#include "BenchWindow.h"
#include "support/Fixtures.h"
#include "window/MainWindow.h"

#include <QApplication>

#include <fstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace cpbench;

namespace {

// Peak resident memory since the last reset, in MiB.
double peakMiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return -1;
}

void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s WORKDIR [ROUNDS] [ENTRIES] [ENTRY_BYTES]\n", argv[0]);
        return 2;
    }
    const std::string work = argv[1];
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    const int entries = argc > 3 ? std::atoi(argv[3]) : 10'000;
    const auto entryBytes = std::size_t(argc > 4 ? std::atol(argv[4]) : 100'000);
    std::int64_t size = 0;
    const std::string source = makeBenchArchive(work, entries, entryBytes, &size);
    const std::string entryFolder = work + "/entries";
    BenchWindow bench(work, entryFolder);
    cptest::ScriptedDialogs& dialogs = bench.dialogs;
    cp::MainWindow& window = bench.window();
    bench.open(source);

    std::vector<double> save, cpr;
    double peak = 0;
    for (int r = 0; r < rounds; ++r) {
        const std::string saved = work + "/saved" + std::to_string(r), copied = work + "/copied" + std::to_string(r);
        ::mkdir(saved.c_str(), 0755);
        dialogs.folders.push_back(saved);
        resetPeak();
        auto t = Clock::now();
        window.runCommand(cp::Command::SaveAll);
        save.push_back(secondsSince(t));
        peak = std::max(peak, peakMiB());
        t = Clock::now();
        cptest::RunProgram({"cp", "-r", entryFolder, copied});
        cpr.push_back(secondsSince(t));
        std::printf("round %d: Save all %.3f s, cp -r %.3f s\n", r + 1, save.back(), cpr.back());
        // The next round writes into fresh folders.
        removeTree(saved);
        removeTree(copied);
        ::sync();
    }
    std::printf(
        "Save all/cp -r (median of %d): %.2f  [Save all %.3f s, cp -r %.3f s], peak RSS during Save all %.1f MiB\n",
        rounds, median(save) / median(cpr), median(save), median(cpr), peak);
    for (const std::string& line : dialogs.messages)
        std::fprintf(stderr, "%s\n", line.c_str());

    // One entry as large as the whole archive, saved on its own.
    const int fd = ::open(source.c_str(), O_WRONLY | O_TRUNC);
    if (fd < 0 || ::write(fd, "RIFF", 4) != 4 || ::ftruncate(fd, size) != 0)
        return 1;
    ::close(fd);
    bench.open(source);
    window.runCommand(cp::Command::Next);
    dialogs.saveAs.push_back(work + "/one.wav");
    resetPeak();
    const auto t = Clock::now();
    window.runCommand(cp::Command::Save);
    std::printf("Save of one %.1f MiB entry: %.3f s, peak RSS %.1f MiB\n", double(size) / (1 << 20), secondsSince(t),
                peakMiB());
    removeTree(work);
    return 0;
}
