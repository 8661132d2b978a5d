// The batch run against cp of the same file to the same disk, alternating in
// one run so that both see the same machine; plus the tag search on data in
// memory against memchr over the same bytes.
// Usage: bench_batch CHUNKPICKER WORKDIR [ROUNDS] [ENTRIES]
#include "BenchSupport.h"
#include "scan/TagSearch.h"
#include "support/Fixtures.h"

#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <fstream>
#include <iterator>

using namespace cpbench;

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s CHUNKPICKER WORKDIR [ROUNDS] [ENTRIES]\n", argv[0]);
        return 2;
    }
    const std::string chunkpicker = argv[1], work = argv[2];
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
    const int entries = argc > 4 ? std::atoi(argv[4]) : 10'000;
    ::mkdir(work.c_str(), 0755);
    const std::string source = work + "/archive.pak";
    const std::int64_t size = MakeArchive(source, entries, 100'000);
    std::printf("archive: %d entries, %.1f MiB\n", entries, double(size) / (1 << 20));

    std::vector<double> batch, cp;
    long peakKiB = 0;
    cptest::RunProgram({"sh", "-c", "cat \"$0\" >/dev/null", source}); // into the page cache for both alike
    // Every run writes into a fresh folder and nothing is deleted until the
    // end: ext4 searches past recently deleted inodes when it creates files,
    // which would charge one round's clean-up to the next.
    std::string target, copy;
    auto settle = [&] {
        cptest::RunProgram({"sync"});
        std::this_thread::sleep_for(std::chrono::seconds(1));
    };
    auto timeBatch = [&] {
        ::mkdir(target.c_str(), 0755);
        const auto t = Clock::now();
        const cptest::RunResult c =
            cptest::RunProgram({chunkpicker, source, target}, {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="});
        cptest::RunProgram({"sync"});
        batch.push_back(Seconds(t));
        if (c.status != 0)
            throw std::runtime_error("batch run failed: " + c.err);
        peakKiB = std::max(peakKiB, c.maxRssKiB);
    };
    auto timeCp = [&] {
        const auto t = Clock::now();
        cptest::RunProgram({"cp", source, copy});
        cptest::RunProgram({"sync"});
        cp.push_back(Seconds(t));
    };
    for (int r = 0; r < rounds; ++r) {
        target = work + "/entries" + std::to_string(r);
        copy = work + "/copy" + std::to_string(r) + ".pak";
        settle();
        r % 2 ? timeCp() : timeBatch();
        settle();
        r % 2 ? timeBatch() : timeCp();
        std::printf("round %d: batch %.3f s, cp %.3f s\n", r + 1, batch.back(), cp.back());
    }
    std::printf("batch/cp (median of %d, both including sync): %.2f  [batch %.3f s, cp %.3f s]\n", rounds,
                Median(batch) / Median(cp), Median(batch), Median(cp));
    std::printf("batch peak resident memory: %.1f MiB\n", double(peakKiB) / 1024);

    // Search on bytes already in memory.
    std::ifstream in(source, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<double> search, scanBytes;
    std::size_t hits = 0;
    for (int r = 0; r < rounds; ++r) {
        auto t = Clock::now();
        hits = 0;
        cp::ForEachTag(bytes.data(), bytes.size(), [&](std::size_t) { ++hits; });
        search.push_back(Seconds(t));
        t = Clock::now();
        const void* none = std::memchr(bytes.data(), 0x100 - 1, bytes.size()); // walks until the first 0xff
        std::size_t sum = none ? 1 : 0;
        for (std::size_t at = 0; at < bytes.size(); at += 4096) {
            const void* p = std::memchr(bytes.data() + at, 'R', std::min<std::size_t>(4096, bytes.size() - at));
            sum += p != nullptr;
        }
        scanBytes.push_back(Seconds(t));
        if (sum == std::size_t(-1))
            std::puts("");
    }
    const double gib = double(bytes.size()) / (1 << 30);
    std::printf("tag search in memory: %.2f GiB/s (%zu tags); memchr over the same bytes: %.2f GiB/s; ratio %.2f\n",
                gib / Median(search), hits, gib / Median(scanBytes), Median(search) / Median(scanBytes));
    RemoveTree(work);
    return 0;
}
