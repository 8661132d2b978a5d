#include "scan/FileCopy.h"
#include "scan/RunJournal.h"
#include "scan/ScanError.h"
#include "scan/TagSearch.h"
#include "scan/WaveEntryScanner.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

using namespace cptest;
using cp::WaveEntryScanner;

namespace {

// Records what the window would be told; onBlock may change the source meanwhile.
struct Recorder : cp::ScanObserver, cp::EntryFileHolder {
    std::vector<std::int64_t> hits;
    std::vector<double> shares;
    std::int64_t blocks = 0, written = 0, stopAfterHits = -1, stopAfterEntries = -1, closes = 0;
    double finalShare = -1;
    bool completed = false;
    std::function<void()> onBlock;

    void scanStarting(const std::string&) override { hits.clear(), shares.clear(), blocks = written = 0; }
    void blockStarted(std::int64_t) override { ++blocks, onBlock ? onBlock() : void(); }
    void tagFound(std::int64_t, std::int64_t at, double share) override { hits.push_back(at), shares.push_back(share); }
    void searchFinished(std::int64_t, std::int64_t, double share) override { finalShare = share; }
    void entryWritten(std::int64_t index, std::int64_t) override { written = index; }
    void scanEnded(bool ok) noexcept override { completed = ok; }
    bool stopRequested() override { return std::int64_t(hits.size()) == stopAfterHits || written == stopAfterEntries; }
    void closeEntryFile() override { ++closes; }
};

std::vector<std::int64_t> NaiveTags(const Bytes& b)
{
    std::vector<std::int64_t> tags;
    for (std::size_t i = 0; i + 4 <= b.size(); ++i)
        std::memcmp(&b[i], "RIFF", 4) == 0 ? tags.push_back(std::int64_t(i) + 1) : void();
    return tags;
}

class ScanTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string target = dir / "out";
    cp::StartupState startup {"", target, false};
    cp::EntryTable table;
    Recorder recorder;
    cp::ScanGeometry geometry;

    void SetUp() override { ::mkdir(target.c_str(), 0755); }
    std::string Source(const Bytes& bytes, const std::string& name = "sound.ffl")
    {
        WriteFile(dir / name, bytes);
        return dir / name;
    }
    void Scan(const std::string& path) { WaveEntryScanner(table, startup, &recorder, &recorder, geometry).ScanFile(path); }
    // The entry files are exactly the source cut at the tags a plain search finds.
    void ExpectCut(const Bytes& source)
    {
        const auto tags = NaiveTags(source);
        ASSERT_EQ(table.EntryCount, std::int64_t(tags.size()));
        ASSERT_EQ(table.EntryFiles.size(), tags.size());
        for (std::size_t i = 0; i < tags.size(); ++i) {
            const auto end = i + 1 < tags.size() ? std::size_t(tags[i + 1] - 1) : source.size();
            EXPECT_EQ(ReadFile(table.EntryFiles[i]), Bytes(source.begin() + tags[i] - 1, source.begin() + end));
        }
    }
};

TEST_F(ScanTest, CutsAtEveryTagKeepsEveryByteAndReportsTheShares)
{
    const Bytes source = Concat({Junk(100), MakeWave(8000, 50), Junk(37, 2), Text("RIFFRIFF"), Text("riff RIF")});
    const std::string path = Source(source);
    // The second writer thread cannot be started (no memory for its state): the first writes alone.
    geometry.beforeWriterStarts = [](unsigned index) {
        if (index == 1)
            throw std::bad_alloc();
    };
    Scan(path);
    ExpectCut(source);
    geometry.beforeWriterStarts = nullptr;
    const std::vector<std::int64_t> tags {101, 101 + 844 + 37, 101 + 844 + 37 + 4};
    EXPECT_EQ(recorder.hits, tags);
    EXPECT_EQ(table.entryFile(3), target + "/Sound003 aus sound.ffl.wav");
    EXPECT_TRUE(recorder.completed);
    // Unknown so far: the part before the first tag and after the latest hit.
    const double length = double(source.size());
    EXPECT_DOUBLE_EQ(recorder.shares[0], 1.0);
    EXPECT_DOUBLE_EQ(recorder.shares[1], double(tags[0] + source.size() - tags[1]) / length);
    EXPECT_DOUBLE_EQ(recorder.finalShare, double(tags[0]) / length);
    // A file without tags keeps the previous list, though its files are gone.
    Scan(Source(Text("riffRIFriff"), "nothing.bin"));
    EXPECT_EQ(table.EntryCount + table.EntryFiles.size() + ListFolder(target).size(), 3u);
    EXPECT_EQ(table.ScannedFile, dir / "nothing.bin");
    // A source that cannot be read fails after releasing, and creates nothing.
    Scan(path);
    try {
        Scan(dir / "missing.ffl");
        FAIL() << "expected a ScanError";
    } catch (const cp::ScanError& e) {
        EXPECT_EQ(e.systemError(), ENOENT);
        EXPECT_EQ(e.path(), dir / "missing.ffl");
    }
    EXPECT_TRUE(ListFolder(target).empty());
    EXPECT_EQ(table.ScannedFile, path);
    EXPECT_FALSE(recorder.completed);
    EXPECT_EQ(recorder.closes, 3);
    EXPECT_THROW(Scan(dir.path()), cp::ScanError);
}

TEST(TagSearch, EveryWayOfSearchingFindsTheSameTagsUpToTheLastByte)
{
    Bytes data = Junk(300, 5); // tags across the 16- and 32-byte steps and at the very end
    for (const std::size_t at : {0, 15, 29, 34, 63, 100, 257, 296})
        std::memcpy(&data[at], "RIFF", 4);
    for (const std::size_t size : {300, 299, 35, 3}) {
        const Bytes part(data.begin(), data.begin() + std::ptrdiff_t(size));
        for (const auto path : {cp::TagSearchPath::Plain, cp::TagSearchPath::Sse2, cp::TagSearchPath::Avx2}) {
            std::vector<std::int64_t> found;
            cp::ForEachTag(part.data(), part.size(), [&](std::size_t at) { found.push_back(std::int64_t(at) + 1); }, path);
            EXPECT_EQ(found, NaiveTags(part)) << "path " << int(path) << ", " << size << " bytes";
        }
    }
}

TEST_F(ScanTest, BlockModeReportsEveryTagOnceAroundBoundaries)
{
    // A tag at each block position from 999,990 to 1,000,003 at two boundaries:
    // in the overlap, across the boundary and just after it.
    const Bytes junk = Junk(3'500'000, 7);
    for (const std::int64_t boundary : {std::int64_t(0), WaveEntryScanner::kBlockStep}) {
        for (std::int64_t at = boundary + 999'990; at <= boundary + 1'000'003; ++at) {
            Bytes source = junk;
            std::memcpy(&source[std::size_t(at - 1)], "RIFF", 4);
            Scan(Source(source));
            ASSERT_EQ(recorder.hits, std::vector<std::int64_t> {at});
        }
    }
    EXPECT_EQ(recorder.blocks, 4) << "blocks of a million bytes, each overlapping the one before";
}

TEST_F(ScanTest, NumbersSkipTakenNamesOfEveryKindAndGoOnAcrossScans)
{
    WriteFile(target + "/Sound001 aus x.wav", Text("mine"));
    ASSERT_EQ(::symlink("/nonexistent", (target + "/Sound002 aus x.wav").c_str()), 0); // a dangling link is taken too
    ::mkdir((target + "/Sound003 aus x.wav").c_str(), 0755);             // a folder cannot be replaced either
    Scan(Source(Text("RIFFRIFF"), "x"));
    EXPECT_EQ(table.entryFile(1) + table.entryFile(2), target + "/Sound004 aus x.wav" + target + "/Sound005 aus x.wav");
    EXPECT_EQ(ReadFile(target + "/Sound001 aus x.wav"), Text("mine"));
    table.EntryFileNumber = 999; // past three digits
    Scan(Source(Text("RIFF"), "Spiel ä.uax"));
    EXPECT_EQ(table.entryFile(1), target + "/Sound1000 aus Spiel ä.uax.wav");
}

// Holds the lock a writer holds on its temporary, as a run in another pid namespace would.
int HoldLikeAWriter(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    EXPECT_EQ(::fcntl(fd, F_OFD_SETLK, &lock), 0) << path;
    return fd;
}

TEST_F(ScanTest, WriteFailurePartwayKeepsTheEntriesBeforeItAndNothingElse)
{
    // Where files cannot be unnamed, temporary names are used. One that a
    // writer holds stays, whatever pid its name carries; one nobody holds goes.
    const std::string held = ".chunkpicker-999999999-1.tmp";
    WriteFile(target + "/" + held, Text("a run in another pid namespace"));
    const int holder = HoldLikeAWriter(target + "/" + held);
    WriteFile(target + "/.chunkpicker-" + std::to_string(::getpid()) + "-7.tmp", Text("left by a killed run"));
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    // Entries of 1,000 bytes and 3 MiB, in both orders; the file-size limit
    // stops the larger, late enough for the other writer to finish the smaller. What follows a failed entry is dropped even when
    // complete, so that the entries kept are 1 to N without a gap.
    for (const bool smallFirst : {true, false}) {
        const Bytes small = Concat({Text("RIFF"), Junk(996)}), large = Concat({Text("RIFF"), Junk((3 << 20) - 4, 2)});
        const std::string path = Source(smallFirst ? Concat({small, large}) : Concat({large, small}));
        for (const bool unnamed : {true, false}) {
            geometry.unnamedFiles = unnamed;
            const struct rlimit limit {2 << 20, old.rlim_max};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            try {
                Scan(path);
                ADD_FAILURE() << "no error";
            } catch (const cp::ScanError& e) {
                EXPECT_EQ(e.systemError(), EFBIG);
                EXPECT_EQ(e.path(), table.entryFile(smallFirst ? 2 : 1)) << "the entry that failed is named";
            }
            ::setrlimit(RLIMIT_FSIZE, &old);
            EXPECT_EQ(table.EntryCount, 2) << "the hits are counted all the same";
            EXPECT_EQ(table.EntryFiles.ownedCount(), smallFirst ? 1 : 0) << "small first: " << smallFirst;
            EXPECT_EQ(ListFolder(target).size(), smallFirst ? 2u : 1u) << "the held temporary and entry 1 if first";
            cp::ReleaseEntryFiles(table, &recorder); // a failed scan still cleans up
            EXPECT_EQ(ListFolder(target), std::vector<std::string> {held});
        }
    }
    std::signal(SIGXFSZ, oldHandler);
    ::close(holder);
    cp::RemoveStaleTemporaries(target);
    EXPECT_TRUE(ListFolder(target).empty()) << "let go, the temporary is stale";
}

TEST_F(ScanTest, StoppedScansKeepWhatTheyCompletedAndCleanUpTakesOnlyItsOwnFiles)
{
    const std::string path = Source(Text("RIFFabcRIFFdefRIFFghi"));
    recorder.stopAfterHits = 1;
    EXPECT_THROW(Scan(path), cp::ScanStopped);
    EXPECT_TRUE(ListFolder(target).empty()) << "stopped in the search: nothing written";
    recorder.stopAfterHits = -1, recorder.stopAfterEntries = 2;
    EXPECT_THROW(Scan(path), cp::ScanStopped);
    EXPECT_FALSE(recorder.completed);
    // The writer may have completed the third meanwhile: what is complete stays, nothing half.
    const std::int64_t owned = table.EntryFiles.ownedCount();
    EXPECT_GE(owned, 2);
    EXPECT_LE(owned, 3);
    EXPECT_EQ(ListFolder(target).size(), std::size_t(owned));
    cp::ReleaseEntryFiles(table, &recorder);
    table.EntryFileNumber = 0;
    recorder.stopAfterEntries = -1;
    Scan(path);
    // One deleted and its name taken later by someone else (who may well get
    // the freed inode number); another replaced in place.
    ::unlink(table.entryFile(1).c_str());
    WriteFile(table.entryFile(1), Text("another instance's file"));
    const struct timespec later[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
    ::utimensat(AT_FDCWD, table.entryFile(1).c_str(), later, 0);
    ::rename(table.entryFile(3).c_str(), (dir / "moved").c_str());
    WriteFile(table.entryFile(3), Text("a stranger's file"));
    cp::ReleaseEntryFiles(table, &recorder);
    EXPECT_EQ(ListFolder(target), (std::vector<std::string> {"Sound001 aus sound.ffl.wav", "Sound003 aus sound.ffl.wav"}));
    EXPECT_EQ(table.EntryFiles.ownedCount(), 0);
    EXPECT_EQ(recorder.closes, 2) << "the device lets go whenever files of this run are deleted";
}

TEST_F(ScanTest, TheEntryFilesOfAKilledWindowGoAtTheNextStartThoseOfALiveOneStay)
{
    const std::string path = Source(Text("RIFFaRIFFb"));
    const pid_t child = ::fork();
    if (child == 0) { // a window killed outright, out of memory say
        cp::RunJournal journal(target);
        table.Journal = &journal;
        Scan(path);
        ::kill(::getpid(), SIGKILL);
    }
    ::waitpid(child, nullptr, 0);
    ASSERT_EQ(ListFolder(target).size(), 3u) << "two entry files and the killed window's record";
    WriteFile(target + "/Sound002 aus sound.ffl.wav", Text("since replaced by the user"));
    cp::RunJournal live(target);
    table.Journal = &live;
    Scan(path); // a window still running: Sound003 and Sound004
    cp::RemoveEntryFilesOfEndedRuns(target);
    const auto left = ListFolder(target);
    ASSERT_EQ(left.size(), 4u) << "the live record, the replaced file and the live entries";
    EXPECT_EQ(left[0].rfind(".chunkpicker-window-" + std::to_string(::getpid()) + "-", 0), 0u) << left[0];
    EXPECT_EQ(std::vector<std::string>(left.begin() + 1, left.end()),
              (std::vector<std::string> {"Sound002 aus sound.ffl.wav", "Sound003 aus sound.ffl.wav",
                                         "Sound004 aus sound.ffl.wav"}));
    table.Journal = nullptr;
}

TEST_F(ScanTest, ASourceChangingDuringTheSearchIsCutAtItsLengthAtOpenOrReported)
{
    geometry = {.wholeFileLimit = 10, .blockSize = 64, .blockStep = 60};
    const Bytes source = Concat({Text("RIFF"), Junk(200), Text("RIFF"), Junk(50, 2)});
    const std::string path = Source(source);
    recorder.onBlock = [&] { // more entries arrive while the search runs
        const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND);
        EXPECT_EQ(::write(fd, "RIFFRIFFRIFF", 12), 12);
        ::close(fd);
    };
    Scan(path);
    ExpectCut(source);
    recorder.onBlock = [&] { ASSERT_EQ(::truncate(path.c_str(), 100), 0); };
    WriteFile(path, source);
    EXPECT_THROW(Scan(path), cp::ScanError) << "a source cut short under the scan is an error";
    EXPECT_TRUE(ListFolder(target).empty());
}

// Runs body in a child with a mount namespace of its own; its exit status, or 77 without one.
int InPrivateMounts(const std::function<int()>& body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            ::_exit(77);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST_F(ScanTest, ACopyWritesThroughLinksKeepsPermissionsAndNeedsNoProc)
{
    const std::string source = Source(Text("RIFF new")), real = dir / "real.wav", link = dir / "link.wav";
    WriteFile(real, Text("old"));
    ::chmod(real.c_str(), 0600);
    ASSERT_EQ(::symlink("real.wav", link.c_str()), 0);
    WriteFile(dir / ".chunkpicker-1-1.tmp", Text("left by a killed Save"));
    EXPECT_EQ(cp::CopyWholeFile(source, link, false), cp::CopyOutcome::TargetExists);
    EXPECT_EQ(cp::CopyWholeFile(source, link, true), cp::CopyOutcome::Copied);
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link stays a link";
    ::stat(real.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0600u) << "the replaced file's permissions stay";
    EXPECT_EQ(ReadFile(real), Text("RIFF new"));
    EXPECT_FALSE(::access((dir / ".chunkpicker-1-1.tmp").c_str(), F_OK) == 0) << "a copy sweeps its folder";
    ASSERT_EQ(::symlink("neu.wav", (dir / "dangling.wav").c_str()), 0);
    EXPECT_EQ(cp::CopyWholeFile(source, dir / "dangling.wav", false), cp::CopyOutcome::Copied);
    EXPECT_EQ(ReadFile(dir / "neu.wav"), Text("RIFF new")) << "a dangling link gets its file";

    // Without /proc a file cannot be named later: temporary names, however
    // errno stood before.
    const int status = InPrivateMounts([&] {
        if (::mount("tmpfs", "/proc", "tmpfs", 0, "size=16k") != 0)
            return 77;
        for (const char* name : {"a.wav", "b.wav"}) {
            errno = EAGAIN;
            try {
                cp::CopyWholeFile(source, dir / name, false);
            } catch (const cp::ScanError&) {
                return 1;
            }
        }
        return ReadFile(dir / "b.wav") == Text("RIFF new") ? 0 : 2;
    });
    if (status == 77)
        GTEST_SKIP() << "no private mount here";
    EXPECT_EQ(status, 0) << "1: a copy failed, 2: the copy differs";
}

TEST_F(ScanTest, ACopyReplacesOnlyWhenToldAndOnlyWithACompleteFile)
{
    const Bytes bytes = Junk(9 << 20);
    const std::string source = Source(bytes), copy = dir / "copy.wav";
    std::vector<std::int64_t> told;
    EXPECT_EQ(cp::CopyWholeFile(source, copy, false, [&](std::int64_t n) { return told.push_back(n), true; }),
              cp::CopyOutcome::Copied);
    EXPECT_TRUE(ReadFile(copy) == bytes && told == (std::vector<std::int64_t> {0, 8 << 20}));
    WriteFile(copy, Text("old"));
    EXPECT_EQ(cp::CopyWholeFile(source, copy, false), cp::CopyOutcome::TargetExists);
    EXPECT_THROW(cp::CopyWholeFile(source, copy, true, [](std::int64_t n) { return n == 0; }), cp::ScanStopped);
    EXPECT_EQ(ReadFile(copy), Text("old")) << "declined or stopped, the old file stays";
    for (const bool unnamed : {true, false}) {
        cp::EntryFileWriter writer(dir.path(), copy, unnamed);
        writer.copyFrom(cp::SourceReader(source), 0, 5 + unnamed, {});
        cp::FileIdentity identity;
        EXPECT_TRUE(writer.publish(copy, &identity, true));
        EXPECT_EQ(ReadFile(copy), Bytes(bytes.begin(), bytes.begin() + 5 + unnamed));
    }
    EXPECT_EQ(ListFolder(dir.path()), (std::vector<std::string> {"copy.wav", "out", "sound.ffl"})) << "no temporary left";

    // A disk that fills up halfway through the replacement.
    const std::string full = dir / "full";
    ::mkdir(full.c_str(), 0755);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
            || ::mount("tmpfs", full.c_str(), "tmpfs", 0, "size=1m") != 0)
            ::_exit(77);
        WriteFile(full + "/copy.wav", Text("old"));
        int status = 1;
        try {
            cp::CopyWholeFile(source, full + "/copy.wav", true);
        } catch (const cp::ScanError& e) {
            status = e.systemError() == ENOSPC && e.path() == full + "/copy.wav" ? 0 : 2;
        }
        ::_exit(ReadFile(full + "/copy.wav") == Text("old") && ListFolder(full).size() == 1 ? status : 3);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "no private mount here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: no error, 2: the wrong one, 3: the old file or a temporary damaged";
}

} // namespace
