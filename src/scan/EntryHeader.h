// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace cp {

class SourceReader;

// What the first bytes of an entry say about it. Entries are cut at tags,
// never at the sizes their headers claim; this only tells whether the two
// agree, and what the entry holds. Every field is read within the bytes
// given, whatever the size fields claim.
struct EntryHeader {
    bool riffHeader = false;       // at least the 12 bytes of "RIFF", size and form
    std::string form;              // the four-character form as it stands ("WAVE", "AVI ")
    std::uint64_t claimedSize = 0; // the size field plus the 8 bytes before the form's
    bool format = false;           // a WAVE fmt chunk of at least 16 bytes was found
    std::uint16_t formatTag = 0;   // the sub-format's tag for WAVE_FORMAT_EXTENSIBLE
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t bitsPerSample = 0;
    std::string title; // LIST/INFO "INAM", as stored, up to its first NUL
};

// How much of an entry is read to know it.
inline constexpr std::size_t kEntryHeaderBytes = 64 * 1024;

EntryHeader parseEntryHeader(const unsigned char* data, std::size_t size);

// How far into an entry ParseEntryHeader would look, judged from its first
// size bytes: no more than size when those tell all there is to know.
std::uint64_t entryHeaderReach(const unsigned char* data, std::size_t size);

// The header of the length bytes at offset (0-based) of source, as
// ParseEntryHeader tells it from their first kEntryHeaderBytes; reads a few
// hundred bytes, and more only where the header goes on. A title not found
// there is looked for in the chunks after them (readRiffStructure). Throws ScanError.
EntryHeader readEntryHeader(const SourceReader& source, std::int64_t offset, std::int64_t length);

// "PCM", "IMA-ADPCM", "MS-ADPCM", "A-law", "µ-law", "IEEE-Float", "MPEG", or
// the tag's number.
std::string formatName(std::uint16_t formatTag);

// The form for people: trailing blanks dropped, bytes that are no printable
// ASCII shown as '?'.
std::string shownForm(const std::string& form);

// Text for showing: kept where it is UTF-8, else read as Latin-1 (as old
// wave files write it); control characters become blanks.
std::string shownText(const std::string& bytes);

} // namespace cp
