// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/FileIo.h"
#include "TagSearch.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace cp {

// How a file is read for the search: whole up to a limit, else in
// overlapping blocks. Only tests and fuzzing choose other numbers, to reach
// block boundaries with small files.
struct ScanGeometry {
    std::int64_t wholeFileLimit = 3'000'000;
    std::int64_t blockSize = 1'000'000;
    std::int64_t blockStep = 999'995; // blocks overlap so that a tag across a boundary is seen whole
    bool unnamedFiles = true;         // false: write under temporary names, as where the file system must
    void (*beforeWriterStarts)(unsigned index) = nullptr; // may throw, as starting a thread may
};

// Searches the first length bytes of source (its length when opened: tags
// appended meanwhile would make entries no copy can cut consistently). Calls
// onBlock(start) before each block is searched and onHit(position) for every
// tag once, in order; positions are 1-based. Memory stays one block.
template <typename OnBlock, typename OnHit>
void searchSource(const SourceReader& source, std::int64_t length, const ScanGeometry& geometry, OnBlock&& onBlock,
                  OnHit&& onHit)
{
    if (length <= geometry.wholeFileLimit) {
        std::vector<unsigned char> data(static_cast<std::size_t>(length));
        const std::size_t got = source.readAt(data.data(), data.size(), 0);
        forEachTag(data.data(), got, [&](std::size_t at) { onHit(std::int64_t(at) + 1); });
        return;
    }
    std::vector<unsigned char> block(static_cast<std::size_t>(geometry.blockSize));
    std::int64_t lastHit = 0;
    for (std::int64_t start = 1;; start += geometry.blockStep) {
        const auto want = std::size_t(std::min<std::int64_t>(geometry.blockSize, length - (start - 1)));
        const std::size_t got = source.readAt(block.data(), want, start - 1);
        onBlock(start);
        // A tag that lies wholly in the overlap was reported with the block before.
        const std::int64_t seenUpTo = lastHit;
        forEachTag(block.data(), got, [&](std::size_t at) {
            const std::int64_t position = start + std::int64_t(at);
            if (position > seenUpTo)
                onHit(lastHit = position);
        });
        if (got < block.size() || start - 1 + std::int64_t(got) >= length)
            return;
    }
}

} // namespace cp
