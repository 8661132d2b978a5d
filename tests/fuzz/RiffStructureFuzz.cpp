// SPDX-License-Identifier: GPL-3.0-or-later
// Reads arbitrary bytes as an entry's RIFF structure: the verdict must agree
// with the sizes, the trimmed length stay within the entry, and the walk end.
#include "scan/RiffStructure.h"
#include "files/FileIo.h"
#include "support/Fixtures.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const cptest::TempDir folder;
    cptest::WriteFile(folder / "entry.bin", cptest::Bytes(data, data + size));
    const cp::RiffStructure s = cp::readRiffStructure(cp::SourceReader(folder / "entry.bin"), 0, std::int64_t(size));
    const auto length = std::int64_t(size), claim = std::int64_t(s.claimedSize);
    const bool trimmed = s.trimReason == cp::TrimReason::PaddingDropped;
    const bool byChunks
        = s.trimReason == cp::TrimReason::ChunkCrossesClaim || s.trimReason == cp::TrimReason::ChunkAfterClaim;
    // Dropped padding leaves the claim, less a pad byte that is not there; chunks past the claim end later.
    const std::int64_t least = trimmed ? std::max<std::int64_t>(20, claim - 1) : byChunks ? claim : length;
    if (s.trimmedLength > length || s.trimmedLength < least || s.chunks > cp::kMaxRiffChunks
        || (s.verdict == cp::RiffVerdict::Cut && claim <= length) || (trimmed && s.trimmedLength > claim)
        || (s.verdict == cp::RiffVerdict::Padded && claim >= length) || s.title.size() > size
        || (s.dataBytes && *s.dataBytes > size) || s.durationMs.value_or(0) < 0)
        std::abort();
    return 0;
}
