// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScanFixture.h"
#include "files/FileIdentity.h"
#include "scan/EntryFileRemover.h"
#include "saving/CopyQueue.h"
#include "scan/TagSearch.h"

#include <filesystem>
#include <fstream>
#include <semaphore>

using namespace cptest;

namespace {

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
    EXPECT_EQ(result.entryFile(3), target / "Sound003 aus sound.ffl.wav");
    EXPECT_EQ(recorder.written, 3);
    EXPECT_TRUE(recorder.completed);
    // Unknown so far: the part before the first tag and after the latest hit.
    const double length = double(source.size());
    EXPECT_DOUBLE_EQ(recorder.shares[0], 1.0);
    EXPECT_DOUBLE_EQ(recorder.shares[1], double(tags[0] + source.size() - tags[1]) / length);
    EXPECT_DOUBLE_EQ(recorder.finalShare, double(tags[0]) / length);
    // A file without tags: the previous entries are gone, none take their place.
    Scan(Source(Text("riffRIFriff"), "nothing.bin"));
    EXPECT_EQ(result.entryCount, 0);
    EXPECT_EQ(result.unknownShare, 1.0) << "all of it unknown";
    EXPECT_TRUE(ListFolder(target).empty());
    EXPECT_EQ(result.sourceFile, dir / "nothing.bin");
    EXPECT_TRUE(result.complete);
    // A source that cannot be read fails after releasing, and creates nothing.
    Scan(path);
    const cp::ScanError missing = ScanFailure([&] { Scan(dir / "missing.ffl"); }).value();
    EXPECT_EQ(missing.systemError(), ENOENT);
    EXPECT_EQ(missing.path(), dir / "missing.ffl");
    EXPECT_TRUE(ListFolder(target).empty());
    EXPECT_TRUE(result.entryFiles.empty()) << "the failed scan names no entry";
    EXPECT_FALSE(result.complete);
    EXPECT_FALSE(recorder.completed);
    EXPECT_EQ(recorder.closes, 2) << "the device lets go before each release of entry files";
    EXPECT_THROW(Scan(dir.path()), cp::ScanError);
}

TEST_F(ScanTest, HandedOverEntryFilesGoOnTheRemoversThreadAndAllBeforeItEnds)
{
    Bytes source;
    for (int i = 0; i < 300; ++i)
        source = Concat({source, Text("RIFF"), Junk(6, unsigned(i))});
    Scan(Source(source));
    ASSERT_EQ(ListFolder(target).size(), 300u);
    std::binary_semaphore handedOver {0};
    std::vector<bool> returnedFirst;
    {
        // Each deletion waits until the hand-over has returned: one on the caller's thread would wait in vain.
        cp::EntryFileRemover remover {[&](cp::EntryFileList& files) {
            returnedFirst.push_back(handedOver.try_acquire_for(std::chrono::seconds(20)));
            files.removeOwned();
        }};
        remover.hand(std::move(result.entryFiles), 3000);
        EXPECT_EQ(remover.pendingBytes(), 3000);
        EXPECT_TRUE(remover.busy());
        handedOver.release();
        ASSERT_TRUE(remover.waitFor(std::chrono::seconds(60)));
        EXPECT_FALSE(remover.busy());
        EXPECT_EQ(ListFolder(target).size() + std::size_t(remover.pendingBytes()), 0u);
        Scan(Source(source, "zwei.ffl"));
        remover.hand(std::move(result.entryFiles), 3000);
        handedOver.release();
    }
    EXPECT_EQ(returnedFirst, std::vector<bool>(2, true));
    EXPECT_TRUE(ListFolder(target).empty()) << "the remover's end waits for the files handed to it";
}

// The records a window leaves hold this key: a next start, of a later version too, reads them alike.
TEST(FileIdentity, TheKeyStaysAsRecordsHoldItAndIsNeverZero)
{
    EXPECT_EQ((cp::FileIdentity {1, 2, 3}).key(), 0x964DE6C0FD8E3A6Cu);
    EXPECT_EQ((cp::FileIdentity {1, 0, -0x7F4A7C159E3779B9}).key(), 1u) << "zero names no file";
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
            cp::forEachTag(
                part.data(), part.size(), [&](std::size_t at) { found.push_back(std::int64_t(at) + 1); }, path);
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
    const std::int64_t owned = result.entryFiles.ownedCount();
    EXPECT_GE(owned, 2);
    EXPECT_LE(owned, 3);
    EXPECT_EQ(ListFolder(target).size(), std::size_t(owned));
    result.release(&recorder);
    folder.lastNumber = 0;
    recorder.stopAfterEntries = -1;
    Scan(path);
    // One deleted and its name taken later by someone else (who may well get
    // the freed inode number); another replaced in place.
    std::filesystem::remove(native(result.entryFile(1)));
    WriteFile(result.entryFile(1), Text("another instance's file"));
    std::filesystem::last_write_time(native(result.entryFile(1)), std::filesystem::file_time_type {});
    std::filesystem::rename(native(result.entryFile(3)), native(dir / "moved"));
    WriteFile(result.entryFile(3), Text("a stranger's file"));
    // A copy put in its place, of its time to the nanosecond: only the file's number tells it apart.
    std::filesystem::copy_file(native(result.entryFile(2)), native(dir / "copy"));
    std::filesystem::last_write_time(native(dir / "copy"),
                                     std::filesystem::last_write_time(native(result.entryFile(2))));
    std::filesystem::rename(native(dir / "copy"), native(result.entryFile(2)));
    result.release(&recorder);
    EXPECT_EQ(ListFolder(target),
              (std::vector<std::string> {"Sound001 aus sound.ffl.wav", "Sound002 aus sound.ffl.wav",
                                         "Sound003 aus sound.ffl.wav"}));
    EXPECT_EQ(result.entryFiles.ownedCount(), 0);
    EXPECT_EQ(recorder.closes, 2) << "the device lets go whenever files of this run are deleted";
}

TEST_F(ScanTest, ASourceChangingDuringTheSearchIsCutAtItsLengthAtOpenOrReported)
{
    geometry = {.wholeFileLimit = 10, .blockSize = 64, .blockStep = 60};
    const Bytes source = Concat({Text("RIFF"), Junk(200), Text("RIFF"), Junk(50, 2)});
    const std::string path = Source(source);
    recorder.onBlock = [&] { // more entries arrive while the search runs
        std::ofstream(native(path), std::ios::binary | std::ios::app) << "RIFFRIFFRIFF";
    };
    Scan(path);
    ExpectCut(source);
    recorder.onBlock = [&] { std::filesystem::resize_file(native(path), 100); };
    WriteFile(path, source);
    EXPECT_THROW(Scan(path), cp::ScanError) << "a source cut short under the scan is an error";
    EXPECT_TRUE(ListFolder(target).empty());
}

TEST_F(ScanTest, ANameTakenBeforeTheScanIsPassedOver)
{
    WriteFile(target / "Sound002 aus sound.ffl.wav", Text("a stranger's file"));
    Scan(Source(Text("RIFFabcRIFFdefRIFFghi")));
    EXPECT_EQ(result.entryFile(2), target / "Sound003 aus sound.ffl.wav");
    EXPECT_EQ(result.entryFile(3), target / "Sound004 aus sound.ffl.wav");
    EXPECT_EQ(ReadFile(result.entryFile(3)), Text("RIFFghi"));
    EXPECT_EQ(ReadFile(target / "Sound002 aus sound.ffl.wav"), Text("a stranger's file"));
    EXPECT_THROW(result.entryFile(4), std::out_of_range);
}

// The outcomes of all the copies handed over, in the order they come (C copied,
// T target taken, F failed, S stopped); the results themselves into results.
std::string Outcomes(cp::CopyQueue& queue, std::size_t count, std::vector<cp::CopyQueue::Result>* results = nullptr)
{
    std::string told;
    for (int waits = 0; told.size() < count && waits < 100; ++waits)
        if (auto result = queue.next(std::chrono::milliseconds(100))) {
            told += "CTFS"[result->outcome];
            if (results)
                results->push_back(*result);
        }
    return told;
}

TEST_F(ScanTest, QueuedCopiesComeBackInOrderAndAFailedOneHitsOnlyItself)
{
    // The first, large, is written while the second thread copies the small
    // ones; the third source is missing, the fourth target taken.
    const std::vector<Bytes> bytes {Junk(9 << 20), Junk(10, 2), {}, Junk(30, 3), Junk(40, 4)};
    std::vector<std::string> sources, targets;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        sources.push_back(dir / ("source" + std::to_string(i)));
        targets.push_back(target / ("copy" + std::to_string(i)));
        if (i != 2)
            WriteFile(sources[i], bytes[i]);
    }
    WriteFile(targets[3], Text("old"));
    cp::CopyQueue queue;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        queue.add(sources[i], targets[i], false);
    std::vector<cp::CopyQueue::Result> results;
    ASSERT_EQ(Outcomes(queue, bytes.size(), &results), "CCFTC") << "outcomes in the order handed over";
    EXPECT_EQ(ScanFailure([&] { std::rethrow_exception(results[2].failure); }).value().path(), sources[2])
        << "the failure names its own source";
    for (const std::size_t i : {0, 1, 4}) {
        EXPECT_TRUE(ReadFile(targets[i]) == bytes[i]) << "copy " << i;
        EXPECT_EQ(results[i].bytes, std::int64_t(bytes[i].size())) << "copy " << i;
    }
    EXPECT_EQ(ReadFile(targets[3]), Text("old"));
    EXPECT_EQ(ListFolder(target), (std::vector<std::string> {"copy0", "copy1", "copy3", "copy4"}));
    EXPECT_EQ(queue.bytesCopied(), (9 << 20) + 10 + 30 + 40);

    // Stopped: a copy handed over writes its first piece; the large one stops
    // after it, and the small one after it, though complete, takes no name.
    const std::string late = target / "late";
    queue.stop();
    queue.add(sources[1], late + "1", false);
    queue.add(sources[0], late + "0", false);
    queue.add(sources[4], late + "4", false);
    EXPECT_EQ(Outcomes(queue, 3), "CSS");
    EXPECT_EQ(ListFolder(target), (std::vector<std::string> {"copy0", "copy1", "copy3", "copy4", "late1"}));
    const std::int64_t copied = queue.bytesCopied();
    queue.stop(true);
    queue.add(sources[4], late + "5", false);
    EXPECT_EQ(Outcomes(queue, 1), "S");
    EXPECT_EQ(queue.bytesCopied(), copied) << "a copy not begun when dropped writes nothing";

    // Without a second thread the first copies alone; without any, the caller copies.
    cp::CopyQueue alone([](unsigned index) {
        if (index == 1)
            throw std::bad_alloc();
    });
    alone.add(sources[1], late + "6", false);
    EXPECT_EQ(Outcomes(alone, 1), "C");
    EXPECT_THROW(cp::CopyQueue([](unsigned) { throw std::system_error(EAGAIN, std::generic_category()); }),
                 std::system_error);
}

} // namespace
