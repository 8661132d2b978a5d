// SPDX-License-Identifier: GPL-3.0-or-later
// The entry list on many entries: the time to open it (model and view shown
// offscreen), to sort by "Format" (every header read) and by "Dauer", and
// the heap it adds, counted by this program's own malloc; against the scan
// and a stat of every entry file in the same run. Also the headers' cost read
// from the source through one descriptor against opening each entry file.
// Usage: bench_entry_list WORKDIR [ENTRIES]   (WORKDIR on tmpfs: /dev/shm/…)
#include "BenchSupport.h"
#include "BenchWindow.h"
#include "scan/EntryHeader.h"
#include "files/FileIo.h"
#include "window/EntryListWindow.h"
#include "window/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QTableView>

#include <atomic>
#include <filesystem>

#include <malloc.h>
#include <sys/stat.h>

using namespace cpbench;

// Every allocation of the process, Qt's included, goes through these.
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);
}

namespace {

std::atomic<long long> g_inUse {0}, g_peak {0};

void* counted(void* p)
{
    if (p) {
        const long long now = g_inUse += (long long)malloc_usable_size(p);
        for (long long peak = g_peak; now > peak && !g_peak.compare_exchange_weak(peak, now);)
            ;
    }
    return p;
}

void uncount(void* p)
{
    if (p)
        g_inUse -= (long long)malloc_usable_size(p);
}

} // namespace

extern "C" {
void* malloc(size_t n)
{
    return counted(__libc_malloc(n));
}
void* calloc(size_t n, size_t size)
{
    return counted(__libc_calloc(n, size));
}
void free(void* p)
{
    uncount(p);
    __libc_free(p);
}
void* realloc(void* p, size_t n)
{
    uncount(p);
    return counted(__libc_realloc(p, n));
}
void* memalign(size_t alignment, size_t n)
{
    return counted(__libc_memalign(alignment, n));
}
void* aligned_alloc(size_t alignment, size_t n)
{
    return counted(__libc_memalign(alignment, n));
}
int posix_memalign(void** out, size_t alignment, size_t n)
{
    *out = counted(__libc_memalign(alignment, n));
    return *out ? 0 : ENOMEM;
}
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s WORKDIR [ENTRIES]\n", argv[0]);
        return 2;
    }
    const std::string work = argv[1];
    const int entries = argc > 2 ? std::atoi(argv[2]) : 100'000;
    const std::string source = makeBenchArchive(work, entries, 700);
    BenchWindow bench(work, work + "/entries");
    cp::MainWindow& window = bench.window();
    auto t = Clock::now();
    bench.open(source);
    const double scan = secondsSince(t);
    if (bench.entries().count() != entries) {
        std::fprintf(stderr, "the window found %lld entries\n", static_cast<long long>(bench.entries().count()));
        return 1;
    }

    t = Clock::now();
    std::int64_t bytes = 0;
    for (std::int64_t i = 1; i <= bench.entries().count(); ++i)
        bytes += std::int64_t(std::filesystem::file_size(bench.entries().entryFile(i)));
    const double stat = secondsSince(t);

    // The headers alone, both ways the list could read them.
    const cp::ScanResult& scanned = bench.entries().scan();
    t = Clock::now();
    {
        const cp::SourceReader whole(source);
        for (std::size_t i = 0; i < scanned.tagPositions.size(); ++i)
            bytes += cp::readEntryHeader(whole, scanned.tagPositions[i] - 1, scanned.entryLength(i)).channels;
    }
    const double fromSource = secondsSince(t);
    t = Clock::now();
    for (std::int64_t i = 1; i <= bench.entries().count(); ++i) {
        const cp::SourceReader entry(bench.entries().entryFile(i));
        bytes += cp::readEntryHeader(entry, 0, entry.size()).channels;
    }
    const double fromFiles = secondsSince(t);

    const long long before = g_inUse;
    g_peak = before;
    t = Clock::now();
    window.runCommand(cp::Command::EntryList);
    cp::EntryListWindow& list = *window.entryList();
    list.view()->viewport()->repaint();
    QCoreApplication::processEvents();
    const double open = secondsSince(t);
    const long long afterOpen = g_inUse;

    t = Clock::now();
    list.view()->horizontalHeader()->setSortIndicator(cp::EntryListModel::Format, Qt::AscendingOrder);
    list.view()->viewport()->repaint();
    const double sortFormat = secondsSince(t);
    t = Clock::now();
    list.findChild<QCheckBox*>("chkMismatches")->setChecked(true);
    list.view()->viewport()->repaint();
    const double filter = secondsSince(t);
    list.findChild<QCheckBox*>("chkMismatches")->setChecked(false);
    t = Clock::now();
    list.model().setFilter("Glöckchen", false); // form, format and title of every entry looked at
    const double textFilter = secondsSince(t);
    list.model().setFilter("", false);
    const long long peakHeaders = g_peak, afterHeaders = g_inUse;
    t = Clock::now();
    list.view()->horizontalHeader()->setSortIndicator(cp::EntryListModel::Duration, Qt::DescendingOrder);
    // Learned between events: the longest the window waits for one is the slice.
    double longestWait = 0;
    while (list.model().learning()) {
        const auto slice = Clock::now();
        QCoreApplication::processEvents();
        longestWait = std::max(longestWait, secondsSince(slice));
    }
    list.view()->viewport()->repaint();
    const double sortDuration = secondsSince(t);
    const auto perEntry = [&](long long b) { return double(b - before) / entries; };

    std::printf("scan in the window %.3f s, stat of every entry file %.3f s (%.1f MiB)\n", scan, stat,
                double(bytes) / (1 << 20));
    std::printf("headers read from the source %.3f s, from the entry files %.3f s (%.2fx)\n", fromSource, fromFiles,
                fromFiles / fromSource);
    std::printf("open the list        %.3f s  (%.2fx the stat, %.3fx the scan)\n", open, open / stat, open / scan);
    std::printf("sort by Format       %.3f s  (%.2fx the stat, %.3fx the scan)\n", sortFormat, sortFormat / stat,
                sortFormat / scan);
    std::printf("nur Abweichungen     %.3f s, a text filter %.3f s  (headers known)\n", filter, textFilter);
    std::printf("sort by Dauer        %.3f s  (%.2fx the stat; every wave measured, between events: the longest "
                "wait %.3f s)\n",
                sortDuration, sortDuration / stat, longestWait);
    std::printf("heap the list adds: open %.1f B/entry, with every header %.1f B/entry, peak %.1f B/entry; "
                "with every duration %.1f B/entry, peak %.1f B/entry\n",
                perEntry(afterOpen), perEntry(afterHeaders), perEntry(peakHeaders), perEntry(g_inUse),
                perEntry(g_peak));
    window.close();
    removeTree(work);
    return 0;
}
