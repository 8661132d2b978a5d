#include "scan/ScanError.h"
#include "scan/TagSearch.h"
#include "scan/WaveEntryScanner.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

using namespace cptest;
using cp::EntryTable;
using cp::ScanError;
using cp::StartupState;
using cp::WaveEntryScanner;

namespace {

// Records what the window would be told.
struct Recorder : cp::ScanObserver {
    std::vector<std::int64_t> hits;
    std::vector<double> shares;
    std::vector<std::int64_t> blocks;
    std::int64_t length = -1;
    std::int64_t entryCount = -1;
    double finalShare = -1;
    int ended = 0;
    bool completed = false;
    std::int64_t stopAfterHits = -1;

    void scanStarting(const std::string&) override
    {
        hits.clear();
        shares.clear();
        blocks.clear();
    }
    void fileOpened(std::int64_t l) override { length = l; }
    void blockStarted(std::int64_t p) override { blocks.push_back(p); }
    void tagFound(std::int64_t count, std::int64_t position, double share) override
    {
        EXPECT_EQ(count, std::int64_t(hits.size()) + 1);
        hits.push_back(position);
        shares.push_back(share);
    }
    void searchFinished(std::int64_t n, std::int64_t, double share) override
    {
        entryCount = n;
        finalShare = share;
    }
    void scanEnded(bool ok) noexcept override
    {
        ++ended;
        completed = ok;
    }
    bool stopRequested() override { return stopAfterHits >= 0 && std::int64_t(hits.size()) >= stopAfterHits; }
};

struct Holder : cp::EntryFileHolder {
    int closes = 0;
    void closeEntryFile() override { ++closes; }
};

// The reference answer: every offset where the tag starts.
std::vector<std::int64_t> NaiveTags(const Bytes& b)
{
    std::vector<std::int64_t> tags;
    for (std::size_t i = 0; i + 4 <= b.size(); ++i)
        if (std::memcmp(&b[i], "RIFF", 4) == 0)
            tags.push_back(std::int64_t(i) + 1);
    return tags;
}

class ScanTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string target = dir / "out";
    StartupState startup;
    EntryTable table;
    Recorder recorder;
    Holder holder;

    void SetUp() override
    {
        ::mkdir(target.c_str(), 0755);
        startup.TargetFolder = target;
    }

    std::string Source(const Bytes& bytes, const std::string& name = "sound.ffl")
    {
        const std::string path = dir / name;
        WriteFile(path, bytes);
        return path;
    }

    void Scan(const std::string& path)
    {
        WaveEntryScanner scanner(table, startup, &holder, &recorder);
        scanner.ScanFile(path);
    }

    // Entry files must be exactly the source cut at the reference tag positions.
    void ExpectCutAt(const Bytes& source, const std::vector<std::int64_t>& tags)
    {
        ASSERT_EQ(table.EntryCount, std::int64_t(tags.size()));
        ASSERT_EQ(table.EntryFiles.size(), tags.size());
        for (std::size_t i = 0; i < tags.size(); ++i) {
            const auto begin = std::size_t(tags[i] - 1);
            const auto end = i + 1 < tags.size() ? std::size_t(tags[i + 1] - 1) : source.size();
            const Bytes expected(source.begin() + std::ptrdiff_t(begin), source.begin() + std::ptrdiff_t(end));
            EXPECT_EQ(ReadFile(table.EntryFiles[i]), expected) << "entry " << i + 1;
        }
    }
};

TEST_F(ScanTest, CutsAtEveryTagAndKeepsEveryByte)
{
    const Bytes wave1 = MakeWave(8000, 50), wave2 = MakeWave(11025, 30, 880);
    const Bytes source = Concat({Junk(100), wave1, Junk(37, 2), wave2, Text("RIFFRIFF"), Text("riff RIF")});
    const std::string path = Source(source);
    Scan(path);

    const auto tags = NaiveTags(source);
    ASSERT_EQ(tags.size(), 4u);
    ExpectCutAt(source, tags);
    // Two tags with nothing between: the first entry is the bare tag.
    EXPECT_EQ(ReadFile(table.EntryFiles[2]), Text("RIFF"));
    // The last entry runs to the end, over a lower-case tag and a cut-off one.
    EXPECT_EQ(ReadFile(table.EntryFiles[3]), Text("RIFFriff RIF"));

    EXPECT_EQ(table.EntryFiles[0], target + "/Sound001 aus sound.ffl.wav");
    EXPECT_EQ(table.EntryFiles[3], target + "/Sound004 aus sound.ffl.wav");
    EXPECT_EQ(table.ScannedFile, path);
    EXPECT_EQ(table.CurrentEntry, 0);
    EXPECT_EQ(recorder.hits, tags);
    EXPECT_EQ(recorder.length, std::int64_t(source.size()));
    EXPECT_TRUE(recorder.completed);
    EXPECT_EQ(recorder.ended, 1);
}

TEST_F(ScanTest, SharesFollowTheFirstTagAndTheLatestHit)
{
    // L = 1000, tags at 101 and 601.
    Bytes source = Junk(1000);
    std::memcpy(&source[100], "RIFF", 4);
    std::memcpy(&source[600], "RIFF", 4);
    Scan(Source(source));
    ASSERT_EQ(recorder.shares.size(), 2u);
    EXPECT_DOUBLE_EQ(recorder.shares[0], 1.0);                   // right after the first hit: all unknown
    EXPECT_DOUBLE_EQ(recorder.shares[1], (101.0 + 1000 - 601) / 1000);
    EXPECT_DOUBLE_EQ(recorder.finalShare, 101.0 / 1000);          // counted with the first tag's own byte
}

TEST_F(ScanTest, EmptyFilesAndFilesWithoutTagsLeaveThePreviousListAlone)
{
    Scan(Source(Concat({Text("RIFF"), Junk(10)}), "first.pak"));
    const auto previous = table.EntryFiles;
    ASSERT_EQ(previous.size(), 1u);

    for (const Bytes& content : {Bytes{}, Junk(5000), Text("riffRIFriff")}) {
        const std::string path = Source(content, "nothing.bin");
        Scan(path);
        EXPECT_EQ(table.EntryCount, 0);
        EXPECT_EQ(table.CurrentEntry, 0);
        EXPECT_EQ(table.ScannedFile, path);
        EXPECT_EQ(table.EntryFiles, previous);
        EXPECT_EQ(recorder.entryCount, 0);
        EXPECT_TRUE(recorder.completed);
    }
    EXPECT_TRUE(ListFolder(target).empty()) << "the first scan's file was released by the next scan";
}

TEST_F(ScanTest, WholeFileModeUpToTheLimitAndBlockModeAbove)
{
    for (const std::int64_t size : {WaveEntryScanner::kWholeFileLimit, WaveEntryScanner::kWholeFileLimit + 1}) {
        Bytes source = Junk(std::size_t(size), unsigned(size));
        std::memcpy(&source[0], "RIFF", 4);
        std::memcpy(&source[std::size_t(size) - 4], "RIFF", 4); // the very last four bytes
        recorder = Recorder();
        Scan(Source(source));
        ExpectCutAt(source, {1, size - 3});
        if (size <= WaveEntryScanner::kWholeFileLimit)
            EXPECT_TRUE(recorder.blocks.empty());
        else
            EXPECT_EQ(recorder.blocks, (std::vector<std::int64_t>{1, 999'996, 1'999'991, 2'999'986}));
    }
}

TEST_F(ScanTest, BlockModeReportsEveryTagExactlyOnceAroundBoundaries)
{
    // A tag at each block position from 999,990 to 1,000,003 (and the same
    // around the second boundary) in separate files, so that tags starting in
    // the overlap, across the boundary and just after it are all covered.
    const std::size_t size = 3'500'000;
    const Bytes junk = Junk(size, 7);
    for (const std::int64_t boundary : {std::int64_t(0), WaveEntryScanner::kBlockStep}) {
        for (std::int64_t blockPos = 999'990; blockPos <= 1'000'003; ++blockPos) {
            Bytes source = junk;
            const std::int64_t position = boundary + blockPos; // 1-based
            std::memcpy(&source[std::size_t(position - 1)], "RIFF", 4);
            std::memcpy(&source[10], "RIFF", 4);
            recorder = Recorder();
            table = EntryTable();
            Scan(Source(source));
            const std::vector<std::int64_t> expected{11, position};
            ASSERT_EQ(recorder.hits, expected) << "tag at block position " << blockPos;
            ExpectCutAt(source, expected);
            for (const auto& file : table.EntryFiles)
                EXPECT_GT(ReadFile(file).size(), 0u) << "no empty phantom entry";
        }
    }
}

TEST_F(ScanTest, BlockModeAgreesWithTheReferenceOnDenseTags)
{
    // Tags packed back to back across several boundaries, plus overlapping
    // near-misses ("RIFRIFF").
    Bytes source = Junk(3'200'000, 3);
    for (std::size_t at = 999'960; at < 1'000'040; at += 4)
        std::memcpy(&source[at], "RIFF", 4);
    std::memcpy(&source[1'999'985], "RIFRIFF", 7);
    std::memcpy(&source[3'199'996], "RIFF", 4);
    Scan(Source(source));
    const auto tags = NaiveTags(source);
    EXPECT_EQ(recorder.hits, tags);
    ExpectCutAt(source, tags);
}

TEST_F(ScanTest, NumbersSkipTakenNamesOfEveryKindButFolders)
{
    WriteFile(target + "/Sound001 aus x.wav", Text("mine"));
    WriteFile(target + "/Sound002 aus x.wav", Text("read-only"));
    ::chmod((target + "/Sound002 aus x.wav").c_str(), 0444);
    WriteFile(target + "/Sound003 aus x.wav", Text("unreadable"));
    ::chmod((target + "/Sound003 aus x.wav").c_str(), 0);
    ::symlink("/nonexistent", (target + "/Sound004 aus x.wav").c_str()); // dangling link
    ::mkdir((target + "/Sound005 aus x.wav").c_str(), 0755);             // a folder is no file...

    Scan(Source(Concat({Text("RIFF"), Text("RIFFabc")}), "x"));
    // ...yet it cannot be created over either, so the next number is taken.
    EXPECT_EQ(table.EntryFiles,
              (std::vector<std::string>{target + "/Sound006 aus x.wav", target + "/Sound007 aus x.wav"}));
    EXPECT_EQ(table.EntryFileNumber, 7);
    EXPECT_EQ(ReadFile(target + "/Sound001 aus x.wav"), Text("mine"));

    // Numbers go on across scans, even though the earlier files are gone.
    Scan(Source(Text("RIFF"), "x"));
    EXPECT_EQ(table.EntryFiles, (std::vector<std::string>{target + "/Sound008 aus x.wav"}));
}

TEST_F(ScanTest, NamesUseTheFileNameOnlyAndGrowPastThreeDigits)
{
    startup.TargetFolder = target + "/"; // a trailing separator gives the same names
    table.EntryFileNumber = 998;
    Scan(Source(Text("RIFFRIFF"), "Spiel daten ä.uax"));
    EXPECT_EQ(table.EntryFiles, (std::vector<std::string>{target + "/Sound999 aus Spiel daten ä.uax.wav",
                                                          target + "/Sound1000 aus Spiel daten ä.uax.wav"}));
}

TEST_F(ScanTest, MissingSourceFailsAfterReleasingAndCreatesNothing)
{
    Scan(Source(Text("RIFFx")));
    const std::string missing = dir / "missing.ffl";
    try {
        Scan(missing);
        FAIL() << "expected a ScanError";
    } catch (const ScanError& e) {
        EXPECT_EQ(e.operation(), ScanError::Operation::Open);
        EXPECT_EQ(e.systemError(), ENOENT);
        EXPECT_EQ(e.path(), missing);
    }
    EXPECT_FALSE(::access(missing.c_str(), F_OK) == 0);
    EXPECT_TRUE(ListFolder(target).empty());
    EXPECT_EQ(table.ScannedFile, dir / "sound.ffl");
    EXPECT_FALSE(recorder.completed);
    EXPECT_EQ(holder.closes, 1);
}

TEST_F(ScanTest, FolderAsSourceIsReportedNotScanned)
{
    EXPECT_THROW(Scan(dir.path()), ScanError);
}

TEST_F(ScanTest, WriteFailurePartwayKeepsCompletedEntriesAndNoHalfFile)
{
    // Entries of 1,000, 5,000 and 1,000 bytes; the file-size limit lets the
    // first through and stops the second partway.
    const Bytes source = Concat({Text("RIFF"), Junk(996), Text("RIFF"), Junk(4996, 2), Text("RIFF"), Junk(996, 3)});
    const std::string path = Source(source);

    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 3000;
    ::setrlimit(RLIMIT_FSIZE, &small);
    int error = 0;
    try {
        Scan(path);
    } catch (const ScanError& e) {
        error = e.systemError();
        EXPECT_EQ(e.operation(), ScanError::Operation::Write);
        EXPECT_EQ(e.path(), target + "/Sound002 aus sound.ffl.wav");
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(table.EntryCount, 3);
    EXPECT_EQ(table.EntryFiles[1], target + "/Sound002 aus sound.ffl.wav");
    EXPECT_EQ(table.EntryFiles[2], "");
    EXPECT_EQ(table.ScannedFile, "");
    EXPECT_EQ(ListFolder(target), std::vector<std::string>{"Sound001 aus sound.ffl.wav"});
    EXPECT_EQ(ReadFile(table.EntryFiles[0]).size(), 1000u);
    EXPECT_FALSE(recorder.completed);

    // A failed first scan still cleans up what it wrote once released.
    cp::ReleaseEntryFiles(table, &holder);
    EXPECT_TRUE(ListFolder(target).empty());
}

TEST_F(ScanTest, StopRequestLeavesNothingOfTheInterruptedScan)
{
    const Bytes source = Concat({Text("RIFF"), Junk(100), Text("RIFF"), Junk(100)});
    recorder.stopAfterHits = 1;
    EXPECT_THROW(Scan(Source(source)), cp::ScanStopped);
    EXPECT_TRUE(ListFolder(target).empty());
    EXPECT_EQ(recorder.ended, 1);
    EXPECT_FALSE(recorder.completed);
}

TEST_F(ScanTest, CleanUpDeletesOnlyWhatThisRunCreated)
{
    Holder fresh;
    cp::ReleaseEntryFiles(table, &fresh);
    EXPECT_EQ(fresh.closes, 0) << "before any scan the device is not touched";

    Scan(Source(Text("RIFFabcRIFFdef")));
    const auto old = table.EntryFiles;
    Scan(Source(Text("no tag here"), "empty.bin")); // deletes old files, keeps the list
    EXPECT_EQ(table.EntryFiles, old);

    // Someone else now creates a file under one of the old names.
    WriteFile(old[0], Text("a stranger's file"));
    const int before = holder.closes;
    cp::ReleaseEntryFiles(table, &holder);
    cp::ReleaseEntryFiles(table, &holder);
    EXPECT_EQ(ReadFile(old[0]), Text("a stranger's file"));
    EXPECT_EQ(holder.closes, before + 2);
}

TEST_F(ScanTest, PositionsBeyondFourGibibytes)
{
    // A sparse file: tags at exactly 4 GiB and 30 bytes later, a tag across
    // the 2 GiB mark would make a 2 GiB entry, so the 2 GiB case is covered
    // by positions only: hits and shares must not wrap.
    const std::int64_t fourGiB = std::int64_t(1) << 32;
    const std::string path = dir / "huge.pak";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, fourGiB + 64), 0);
    ASSERT_EQ(::pwrite(fd, "RIFF", 4, fourGiB), 4);
    ASSERT_EQ(::pwrite(fd, "RIFFtail", 8, fourGiB + 30), 8);
    ::close(fd);

    Scan(path);
    EXPECT_EQ(recorder.hits, (std::vector<std::int64_t>{fourGiB + 1, fourGiB + 31}));
    EXPECT_EQ(recorder.length, fourGiB + 64);
    ASSERT_EQ(table.EntryCount, 2);
    EXPECT_EQ(ReadFile(table.EntryFiles[0]).size(), 30u);
    const Bytes last = ReadFile(table.EntryFiles[1]);
    ASSERT_EQ(last.size(), 34u);
    EXPECT_EQ(Bytes(last.begin(), last.begin() + 8), Text("RIFFtail"));
    EXPECT_NEAR(recorder.finalShare, double(fourGiB + 1) / double(fourGiB + 64), 1e-12);
}

} // namespace

namespace {

TEST(TagSearch, EveryAlignmentAndLengthAgreesWithThePlainSearch)
{
    // Tags at every offset of buffers from 0 to 48 bytes, over backgrounds of
    // noise, of near misses and of 'R's, cover the 16-byte steps and the tail.
    for (const char fill : {'\0', 'R', 'F', 'x'}) {
        for (std::size_t size = 0; size <= 48; ++size) {
            for (std::size_t at = 0; at <= size; ++at) {
                Bytes b(size, static_cast<unsigned char>(fill));
                for (std::size_t k = 0; k < 4 && at + k < size; ++k)
                    b[at + k] = static_cast<unsigned char>(cp::kTag[k]); // may be cut off at the end
                std::vector<std::int64_t> found;
                cp::ForEachTag(b.data(), b.size(), [&](std::size_t o) { found.push_back(std::int64_t(o) + 1); });
                ASSERT_EQ(found, NaiveTags(b)) << "size " << size << ", tag at " << at << ", fill " << int(fill);
            }
        }
    }
    const Bytes dense = Text("RIFFRIFFRIFFRIFFRIFFRIFFRIFFRIFFRIFFRIFFRIF");
    std::size_t count = 0;
    cp::ForEachTag(dense.data(), dense.size(), [&](std::size_t) { ++count; });
    EXPECT_EQ(count, 10u);
}

} // namespace
