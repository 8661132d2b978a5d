// SPDX-License-Identifier: GPL-3.0-or-later
#include "EntryHeader.h"
#include "RiffStructure.h"

#include "files/FileIo.h"

#include "base/PathHelpers.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace cp {

namespace {

std::uint32_t le32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

std::uint16_t le16(const unsigned char* p)
{
    return std::uint16_t(p[0] | p[1] << 8);
}

bool isKind(const unsigned char* p, const char* id)
{
    return std::memcmp(p, id, 4) == 0;
}

// Calls onChunk(id, body, bodySize) for the chunks in [begin, end): the body
// cut to what is there, however large its size field says it is. Returns
// where the next chunk would start.
template <typename OnChunk>
std::uint64_t forEachChunk(const unsigned char* data, std::size_t begin, std::size_t end, OnChunk&& onChunk)
{
    std::uint64_t at = begin;
    while (at + 8 <= end) {
        const std::uint64_t declared = le32(data + at + 4);
        const std::uint64_t body = at + 8;
        onChunk(data + at, data + body, std::size_t(std::min<std::uint64_t>(declared, end - body)));
        at = body + declared + (declared & 1); // chunks are padded to even sizes
    }
    return at;
}

// Most headers end within this many bytes; more is read only where they go on.
constexpr std::size_t kFirstHeaderRead = 512;

void readFormat(const unsigned char* body, std::size_t size, EntryHeader& header)
{
    if (size < 16 || header.format)
        return;
    header.format = true;
    header.formatTag = le16(body);
    header.channels = le16(body + 2);
    header.sampleRate = le32(body + 4);
    header.bitsPerSample = le16(body + 14);
    // WAVE_FORMAT_EXTENSIBLE names the real format in its sub-format GUID.
    if (header.formatTag == 0xFFFE && size >= 26)
        header.formatTag = le16(body + 24);
}

void readInfo(const unsigned char* body, std::size_t size, EntryHeader& header)
{
    if (size < 4 || !isKind(body, "INFO"))
        return;
    forEachChunk(body, 4, size, [&](const unsigned char* id, const unsigned char* text, std::size_t length) {
        if (header.title.empty() && isKind(id, "INAM"))
            header.title.assign(reinterpret_cast<const char*>(text),
                                ::strnlen(reinterpret_cast<const char*>(text), length));
    });
}

} // namespace

EntryHeader parseEntryHeader(const unsigned char* data, std::size_t size)
{
    EntryHeader header;
    if (size < 12 || !isKind(data, "RIFF"))
        return header;
    header.riffHeader = true;
    header.form.assign(reinterpret_cast<const char*>(data + 8), 4);
    header.claimedSize = std::uint64_t(le32(data + 4)) + 8;
    const bool wave = header.form == "WAVE";
    forEachChunk(data, 12, size, [&](const unsigned char* id, const unsigned char* body, std::size_t length) {
        if (wave && isKind(id, "fmt "))
            readFormat(body, length, header);
        else if (isKind(id, "LIST"))
            readInfo(body, length, header);
    });
    return header;
}

std::uint64_t entryHeaderReach(const unsigned char* data, std::size_t size)
{
    if (size < 12)
        return size >= 4 && !isKind(data, "RIFF") ? 0 : 12;
    if (!isKind(data, "RIFF"))
        return 0;
    // Where the chunks end by their sizes, and the header of the next: a chunk
    // cut short here, the format or a title list among them, ends beyond.
    return forEachChunk(data, 12, size, [](const unsigned char*, const unsigned char*, std::size_t) {}) + 8;
}

EntryHeader readEntryHeader(const SourceReader& source, std::int64_t offset, std::int64_t length)
{
    const auto most = std::size_t(std::clamp<std::int64_t>(length, 0, std::int64_t(kEntryHeaderBytes)));
    std::vector<unsigned char> head(std::min(most, kFirstHeaderRead));
    std::size_t got = source.readAt(head.data(), head.size(), offset);
    if (got == head.size() && got < most && entryHeaderReach(head.data(), got) > got) {
        head.resize(most);
        got = source.readAt(head.data(), head.size(), offset);
    }
    EntryHeader header = parseEntryHeader(head.data(), got);
    // Some files keep their title after the sound, past the bytes read here:
    // the chunks are walked for it, their headers only.
    if (header.riffHeader && header.title.empty() && length > std::int64_t(got))
        header.title = readRiffStructure(source, offset, length).title;
    return header;
}

std::string formatName(std::uint16_t formatTag)
{
    switch (formatTag) {
    case 0x0001: return "PCM";
    case 0x0002: return "MS-ADPCM";
    case 0x0003: return "IEEE-Float";
    case 0x0006: return "A-law";
    case 0x0007: return "µ-law";
    case 0x0011: return "IMA-ADPCM";
    case 0x0050:
    case 0x0055: return "MPEG";
    default: return std::to_string(formatTag);
    }
}

std::string shownForm(const std::string& form)
{
    std::string shown = form;
    while (!shown.empty() && shown.back() == ' ')
        shown.pop_back();
    for (char& c : shown)
        c = c >= 0x20 && c < 0x7f ? c : '?';
    return shown;
}

std::string shownText(const std::string& bytes)
{
    const bool utf8 = isValidUtf8(bytes);
    std::string shown;
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7f)
            shown += ' ';
        else if (c < 0x80 || utf8)
            shown += ch;
        else { // Latin-1 to UTF-8
            shown += char(0xC0 | c >> 6);
            shown += char(0x80 | (c & 0x3F));
        }
    }
    return shown;
}

} // namespace cp
