// SPDX-License-Identifier: GPL-3.0-or-later
// Reads arbitrary bytes as an entry's RIFF structure: the verdict must agree
// with the sizes, the trimmed length stay within the entry, and the walk end.
#include "scan/RiffStructure.h"
#include "files/FileIo.h"
#include "support/Fixtures.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const cptest::TempDir folder;
    cptest::WriteFile(folder / "entry.bin", cptest::Bytes(data, data + size));
    const cp::RiffStructure s = cp::readRiffStructure(cp::SourceReader(folder / "entry.bin"), 0, std::int64_t(size));
    const auto length = std::int64_t(size), claim = std::int64_t(s.claimedSize);
    const bool trimmed = s.trimReason == cp::TrimReason::PaddingDropped;
    if (s.trimmedLength > length || s.trimmedLength < (trimmed ? 20 : length) || s.chunks > cp::kMaxRiffChunks
        || (s.verdict == cp::RiffVerdict::Cut && claim <= length) || (trimmed && s.trimmedLength != claim)
        || (s.verdict == cp::RiffVerdict::Padded && claim >= length) || s.title.size() > size
        || (s.dataBytes && *s.dataBytes > size) || s.durationMs.value_or(0) < 0)
        std::abort();
    return 0;
}
