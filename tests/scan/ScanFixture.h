// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the scan tests share, on every platform.
#include "scan/ScanError.h"
#include "scan/WaveEntryScanner.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>

namespace cptest {

using cp::WaveEntryScanner;

// Records what the window would be told; onBlock may change the source meanwhile.
struct Recorder : cp::ScanObserver, cp::EntryFileHolder {
    std::vector<std::int64_t> hits;
    std::vector<double> shares;
    std::int64_t blocks = 0, written = 0, stopAfterHits = -1, stopAfterEntries = -1, closes = 0;
    double finalShare = -1;
    bool completed = false;
    std::function<void()> onBlock;

    void scanStarting(const std::string&) override
    {
        hits.clear();
        shares.clear();
        blocks = written = 0;
    }
    void blockStarted(std::int64_t) override
    {
        ++blocks;
        if (onBlock)
            onBlock();
    }
    void tagFound(std::int64_t, std::int64_t at, double share) override
    {
        hits.push_back(at);
        shares.push_back(share);
    }
    void searchFinished(std::int64_t, std::int64_t, double share) override { finalShare = share; }
    void entriesWritten(std::int64_t count, std::int64_t) override { written = count; }
    void scanEnded(bool ok) noexcept override { completed = ok; }
    bool stopRequested() override { return std::int64_t(hits.size()) == stopAfterHits || written == stopAfterEntries; }
    void closeEntryFile() override { ++closes; }
};

// The ScanError that act fails with, if any.
inline std::optional<cp::ScanError> ScanFailure(const std::function<void()>& act)
{
    try {
        act();
    } catch (const cp::ScanError& e) {
        return e;
    }
    return std::nullopt;
}

inline std::vector<std::int64_t> NaiveTags(const Bytes& b)
{
    std::vector<std::int64_t> tags;
    for (std::size_t i = 0; i + 4 <= b.size(); ++i) {
        if (std::memcmp(&b[i], "RIFF", 4) == 0)
            tags.push_back(std::int64_t(i) + 1);
    }
    return tags;
}

class ScanTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string target = dir / "out";
    cp::EntryFolder folder {target};
    cp::ScanResult result;
    Recorder recorder;
    cp::ScanGeometry geometry;

    void SetUp() override { std::filesystem::create_directory(native(target)); }
    std::string Source(const Bytes& bytes, const std::string& name = "sound.ffl")
    {
        WriteFile(dir / name, bytes);
        return dir / name;
    }
    // As a window does: the last scan's entries go, the new scan's take their place.
    void Scan(const std::string& path)
    {
        result.release(&recorder);
        result = {};
        WaveEntryScanner(folder, &recorder, geometry).scanFile(path, result);
    }
    // The entry files are exactly the source cut at the tags a plain search finds.
    void ExpectCut(const Bytes& source)
    {
        const auto tags = NaiveTags(source);
        ASSERT_EQ(result.entryCount, std::int64_t(tags.size()));
        ASSERT_EQ(result.entryFiles.size(), tags.size());
        for (std::size_t i = 0; i < tags.size(); ++i) {
            const auto end = i + 1 < tags.size() ? std::size_t(tags[i + 1] - 1) : source.size();
            EXPECT_EQ(ReadFile(result.entryFiles[i]), Bytes(source.begin() + tags[i] - 1, source.begin() + end));
        }
    }
};

} // namespace cptest
