// SPDX-License-Identifier: GPL-3.0-or-later
// The batch run against cp of the same file and against cp -r of a folder
// holding the same entry files, alternating in one run so that all see the
// same machine; plus the tag search on data in memory against memchr over the
// same bytes.
// Usage: bench_batch CHUNKPICKER WORKDIR [ROUNDS] [ENTRIES] [ENTRY_BYTES]
//        (ENTRY_BYTES 8 makes bare tags with four bytes after each: "RIFFxxxx")
//        bench_batch CHUNKPICKER WORKDIR tags COUNT [search]
// The second form measures the batch run's memory per tag on COUNT tags back
// to back: for the whole run, or (search) up to its first entry file.
#include "BenchSupport.h"
#include "scan/TagSearch.h"
#include "support/Fixtures.h"

#include <linux/magic.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/wait.h>

#include <csignal>
#include <filesystem>

#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <fstream>
#include <iterator>

using namespace cpbench;

namespace {

long residentKiB(pid_t pid, const char* field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::strlen(field));
    return 0;
}

// Peak resident memory of a batch run on source, sampled until it ends or,
// with untilFirstEntry, until its first entry file appears.
long peakKiB(const std::string& chunkpicker, const std::string& source, const std::string& target, bool untilFirstEntry)
{
    cptest::RunProgram({"rm", "-rf", target});
    ::mkdir(target.c_str(), 0755);
    cptest::Program run({chunkpicker, source, target}, {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="});
    long peak = 0;
    for (;;) {
        const long now = residentKiB(run.m_pid, "VmHWM:");
        if (now == 0) // ended: a zombie has no memory figures
            break;
        peak = std::max(peak, now);
        if (untilFirstEntry && std::filesystem::exists(target + "/Sound001 aus tags.pak.wav")) {
            run.Signal(SIGKILL);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    run.Wait();
    return peak;
}

int measureTags(const std::string& chunkpicker, const std::string& work, long count, bool searchOnly)
{
    ::mkdir(work.c_str(), 0755);
    const std::string empty = work + "/tags.pak", source = work + "/tags.pak";
    cptest::WriteFile(empty, {});
    const long baseline = peakKiB(chunkpicker, empty, work + "/out", false);
    std::string tags;
    tags.reserve(std::size_t(count) * 4);
    for (long i = 0; i < count; ++i)
        tags += "RIFF";
    cptest::WriteFile(source, cptest::Text(tags));
    tags = std::string();
    const long peak = peakKiB(chunkpicker, source, work + "/out", searchOnly);
    std::printf("%ld tags (%s): peak %.1f MiB, without tags %.1f MiB: %.1f bytes a tag\n", count,
                searchOnly ? "up to the first entry file" : "whole run", double(peak) / 1024, double(baseline) / 1024,
                double(peak - baseline) * 1024 / double(count));
    removeTree(work);
    return 0;
}

} // namespace

// What making the entries durable costs a batch run, until it exits: the same
// run with syncfs made a no-op (preloaded) is the baseline, alternating.
int measureSync(const std::string& chunkpicker, const std::string& work, int rounds, int entries)
{
    ::mkdir(work.c_str(), 0755);
    const std::string source = work + "/archive.pak";
    makeArchive(source, entries, 100'000);
    cptest::RunProgram({"sync"});
    std::vector<double> with, without;
    for (int r = 0; r < 2 * rounds; ++r) {
        const std::string target = work + "/sync" + std::to_string(r);
        ::mkdir(target.c_str(), 0755);
        std::vector<std::string> env {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="};
        if (r % 2)
            env.push_back("LD_PRELOAD=" CP_NO_SYNC);
        const auto t = Clock::now();
        if (cptest::RunProgram({chunkpicker, source, target}, env).status != 0)
            throw std::runtime_error("batch run failed");
        (r % 2 ? without : with).push_back(secondsSince(t));
        cptest::RunProgram({"sync"});
        removeTree(target);
    }
    std::printf("batch until exit, with syncfs / without (median of %d): %.2f  [%.3f s, %.3f s]\n", rounds,
                median(with) / median(without), median(with), median(without));
    return 0;
}

int main(int argc, char** argv)
{
    if (argc > 4 && std::string(argv[3]) == "tags")
        return measureTags(argv[1], argv[2], std::atol(argv[4]), argc > 5);
    if (argc > 3 && std::string(argv[3]) == "sync")
        return measureSync(argv[1], argv[2], argc > 4 ? std::atoi(argv[4]) : 5, argc > 5 ? std::atoi(argv[5]) : 10'000);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s CHUNKPICKER WORKDIR [ROUNDS] [ENTRIES] [ENTRY_BYTES]\n", argv[0]);
        return 2;
    }
    const std::string chunkpicker = argv[1], work = argv[2];
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
    const int entries = argc > 4 ? std::atoi(argv[4]) : 10'000;
    const long entryBytes = argc > 5 ? std::atol(argv[5]) : 100'000;
    ::mkdir(work.c_str(), 0755);
    const std::string source = work + "/archive.pak";
    std::int64_t size = 0;
    if (entryBytes <= 8) {
        std::string tags;
        for (int i = 0; i < entries; ++i)
            tags += "RIFFxxxx";
        cptest::WriteFile(source, cptest::Text(tags));
        size = std::int64_t(tags.size());
    } else {
        size = makeArchive(source, entries, std::size_t(entryBytes));
    }
    std::printf("archive: %d entries, %.1f MiB\n", entries, double(size) / (1 << 20));

    std::vector<double> batch, cp, cpr, batchCpu, cpCpu, cprCpu;
    // CPU seconds of the children started since the last call: on tmpfs nothing waits for a disk, so these
    // repeat where wall-clock times on a shared machine do not.
    double cpuSoFar = 0;
    auto childCpu = [&cpuSoFar] {
        struct rusage u {};
        ::getrusage(RUSAGE_CHILDREN, &u);
        const double now
            = double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
        const double spent = now - cpuSoFar;
        cpuSoFar = now;
        return spent;
    };
    struct statfs fs {};
    const bool inMemory = ::statfs(work.c_str(), &fs) == 0 && fs.f_type == TMPFS_MAGIC;
    long peakKiB = 0;
    cptest::RunProgram({"sh", "-c", "cat \"$0\" >/dev/null", source}); // into the page cache for both alike
    // Every run writes into a fresh folder and nothing is deleted until the
    // end: ext4 searches past recently deleted inodes when it creates files,
    // which would charge one round's clean-up to the next.
    std::string target, copy;
    auto settle = [&] {
        cptest::RunProgram({"sync"});
        std::this_thread::sleep_for(std::chrono::seconds(1));
        childCpu();
    };
    auto timeBatch = [&] {
        ::mkdir(target.c_str(), 0755);
        const auto t = Clock::now();
        const cptest::RunResult c
            = cptest::RunProgram({chunkpicker, source, target}, {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="});
        cptest::RunProgram({"sync"});
        batch.push_back(secondsSince(t));
        batchCpu.push_back(childCpu());
        if (c.status != 0)
            throw std::runtime_error("batch run failed: " + c.err);
        peakKiB = std::max(peakKiB, c.maxRssKiB);
    };
    auto timeCp = [&] {
        const auto t = Clock::now();
        cptest::RunProgram({"cp", source, copy});
        cptest::RunProgram({"sync"});
        cp.push_back(secondsSince(t));
        cpCpu.push_back(childCpu());
    };
    // The floor a user compares with: the same bytes in the same number of files.
    auto timeCpR = [&] {
        const auto t = Clock::now();
        cptest::RunProgram({"cp", "-r", work + "/entries0", copy + ".d"});
        cptest::RunProgram({"sync"});
        cpr.push_back(secondsSince(t));
        cprCpu.push_back(childCpu());
    };
    for (int r = 0; r < rounds; ++r) {
        target = work + "/entries" + std::to_string(r);
        copy = work + "/copy" + std::to_string(r) + ".pak";
        settle();
        if (r % 2) {
            timeCp();
            settle();
            timeBatch();
        } else {
            timeBatch();
            settle();
            timeCp();
        }
        settle();
        timeCpR();
        std::printf("round %d: batch %.3f s, cp %.3f s, cp -r %.3f s\n", r + 1, batch.back(), cp.back(), cpr.back());
        if (inMemory) { // tmpfs keeps every copy in memory: drop them before they crowd the next round
            removeTree(copy);
            removeTree(copy + ".d");
            if (r > 0)
                removeTree(target);
        }
    }
    std::printf("batch/cp (median of %d, all including sync): %.2f  [batch %.3f s, cp %.3f s]\n", rounds,
                median(batch) / median(cp), median(batch), median(cp));
    std::printf("batch/cp -r of the entry files: %.2f  [cp -r %.3f s]\n", median(batch) / median(cpr), median(cpr));
    std::printf("CPU time: batch/cp -r %.2f, batch/cp %.2f  [batch %.3f s, cp %.3f s, cp -r %.3f s]\n",
                median(batchCpu) / median(cprCpu), median(batchCpu) / median(cpCpu), median(batchCpu), median(cpCpu),
                median(cprCpu));
    std::printf("batch peak resident memory: %.1f MiB\n", double(peakKiB) / 1024);

    // Search on bytes already in memory.
    std::ifstream in(source, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The baseline walks every byte as a memchr-based search would: memchr to
    // each 'R', a compare there, on from the next byte.
    std::vector<double> search, sse2, scanBytes;
    std::size_t hits = 0, walkHits = 0;
    for (int r = 0; r < rounds; ++r) {
        auto t = Clock::now();
        hits = 0;
        cp::forEachTag(bytes.data(), bytes.size(), [&](std::size_t) { ++hits; });
        search.push_back(secondsSince(t));
        t = Clock::now();
        std::size_t sseHits = 0;
        cp::forEachTag(
            bytes.data(), bytes.size(), [&](std::size_t) { ++sseHits; }, cp::TagSearchPath::Sse2);
        sse2.push_back(secondsSince(t));
        t = Clock::now();
        walkHits = 0;
        const unsigned char* end = bytes.data() + bytes.size();
        for (auto* p = bytes.data(); (p = static_cast<const unsigned char*>(std::memchr(p, 'R', std::size_t(end - p))));
             ++p)
            walkHits += end - p >= 4 && std::memcmp(p, "RIFF", 4) == 0;
        scanBytes.push_back(secondsSince(t));
        if (sseHits != hits || walkHits != hits)
            std::fprintf(stderr, "the searches disagree: %zu, %zu, %zu\n", hits, sseHits, walkHits);
    }
    const double gib = double(bytes.size()) / (1 << 30);
    std::printf("tag search in memory (%zu tags): %.2f GiB/s, SSE2 only %.2f GiB/s, memchr walk %.2f GiB/s; "
                "search/memchr time %.2f, SSE2/memchr %.2f\n",
                hits, gib / median(search), gib / median(sse2), gib / median(scanBytes),
                median(search) / median(scanBytes), median(sse2) / median(scanBytes));
    removeTree(work);
    return 0;
}
