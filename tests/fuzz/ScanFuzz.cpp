// SPDX-License-Identifier: GPL-3.0-or-later
// Scans arbitrary bytes with arbitrary small block geometries and checks the
// result against a plain search: every tag once, every byte from the first
// tag on in exactly one entry file, in order. Every way the search can run
// must find the same tags.
#include "scan/TagSearch.h"
#include "scan/WaveEntryScanner.h"
#include "support/Fixtures.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    // Overlaps of 3 to 7 bytes, and both ways of writing an entry file.
    const std::int64_t block = 8 + data[0] % 64;
    const cp::ScanGeometry geometry {data[2] % 48, block, block - 3 - data[1] % 5, (data[1] & 0x80) != 0};
    data += 3;
    size -= 3;
    static const cptest::TempDir folder;
    const std::string source = folder / "source.bin";
    cptest::WriteFile(source, cptest::Bytes(data, data + size));
    cp::EntryFolder target {folder.path()};
    cp::ScanResult result;
    cp::WaveEntryScanner(target, nullptr, geometry).scanFile(source, result);

    std::vector<std::size_t> tags;
    for (std::size_t i = 0; i + 4 <= size; ++i)
        if (std::memcmp(data + i, "RIFF", 4) == 0)
            tags.push_back(i);
    if (result.entryCount != std::int64_t(tags.size()))
        std::abort();
    for (const auto path : {cp::TagSearchPath::Plain, cp::TagSearchPath::Sse2, cp::TagSearchPath::Avx2}) {
        std::vector<std::size_t> found;
        cp::forEachTag(
            data, size, [&](std::size_t at) { found.push_back(at); }, path);
        if (found != tags)
            std::abort();
    }
    for (std::size_t i = 0; i < tags.size(); ++i) {
        const std::size_t end = i + 1 < tags.size() ? tags[i + 1] : size;
        const auto bytes = cptest::ReadFile(result.entryFiles[i]);
        if (bytes.size() != end - tags[i] || std::memcmp(bytes.data(), data + tags[i], bytes.size()) != 0)
            std::abort();
    }
    result.release(nullptr);
    return 0;
}
