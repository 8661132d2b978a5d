// SPDX-License-Identifier: GPL-3.0-or-later
// The playing time where no decoder is linked (the Windows build of
// chunkpicker-info): from the header, for the sample formats whose frames are
// the data's bytes divided evenly, as a decoder counts them.
#include "SoundFile.h"

#include "scan/EntryHeader.h"
#include "files/FileIo.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace cp {

namespace {

constexpr std::uint32_t kMaxRate = 655'350;
constexpr std::uint16_t kMaxChannels = 1024;

std::uint32_t le32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

} // namespace

std::optional<std::int64_t> soundLengthMs(const SourceReader& source, std::int64_t offset, std::int64_t length)
{
    std::vector<unsigned char> head(std::size_t(std::min<std::int64_t>(length, std::int64_t(kEntryHeaderBytes))));
    head.resize(source.readAt(head.data(), head.size(), offset));
    const EntryHeader header = parseEntryHeader(head.data(), head.size());
    const bool plain = header.formatTag == 1 || header.formatTag == 3 || header.formatTag == 6 || header.formatTag == 7;
    if (header.form != "WAVE" || !header.format || !plain || header.sampleRate == 0 || header.sampleRate > kMaxRate
        || header.channels == 0 || header.channels > kMaxChannels || header.bitsPerSample == 0)
        return std::nullopt;
    // The data chunk, cut to what the entry holds.
    for (std::int64_t at = 12; at + 8 <= std::int64_t(head.size());) {
        const std::int64_t size = le32(&head[std::size_t(at) + 4]);
        if (std::memcmp(&head[std::size_t(at)], "data", 4) == 0) {
            const std::int64_t bytes = std::min(size, length - at - 8);
            const std::int64_t frames = bytes / (std::int64_t(header.channels) * ((header.bitsPerSample + 7) / 8));
            const std::int64_t rate = header.sampleRate;
            return frames / rate * 1000 + frames % rate * 1000 / rate;
        }
        at += 8 + size + (size & 1);
    }
    return std::nullopt;
}

} // namespace cp
