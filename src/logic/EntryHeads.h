// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scan/EntryHeader.h"
#include "scan/OriginalFile.h"
#include "scan/RiffStructure.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace cp {

class SourceReader;
struct ScanResult;

// How long length bytes at offset (0-based) of source play as a sound file
// of their own, in whole milliseconds; empty when they are no sound that
// plays. The face's decoder tells (soundLengthMs where libsndfile is linked).
using SoundLengthMs
    = std::optional<std::int64_t> (*)(const SourceReader& source, std::int64_t offset, std::int64_t length);

// The playing time the window shows, from what the decoder says (empty: no
// sound it plays) and the entry's RIFF structure: a wave's is the decoder's,
// bounded by its data chunk, as a decoder may take the padding after a
// placeholder size for sound (a whole one is the decoder's alone); a wave the decoder cannot play has none. Other
// forms are not decoded; a film's is its header's.
std::optional<std::int64_t> playingTimeMs(std::optional<std::int64_t> decoded, const RiffStructure& structure);

// What the headers of a scan's entries say, each read when first asked for
// and kept in a few bytes, its title (which few carry) and the name of its
// original (asked for rows shown or sorted only) apart. They are read from
// the source at the entry's place through one descriptor, and from the entry
// files only where the source is gone or has changed.
class EntryHeads {
public:
    enum Flag : std::uint8_t { Read = 1, Riff = 2, Wave = 4, Titled = 8, Unreadable = 16 };
    static constexpr int kVerdictShift = 5; // the RIFF verdict in the flags' bits 32 and 64
    // What an entry's header says, in 24 bytes.
    struct Head {
        std::uint32_t sizeField = 0; // the claimed size less the 8 bytes before the form
        std::uint32_t sampleRate = 0;
        std::int32_t durationMs = -2; // -2: not known yet, -1: none
        char form[4] = {};
        std::uint16_t formatTag = 0;
        std::uint16_t channels = 0;
        std::uint16_t bits = 0;
        std::uint8_t flags = 0;

        bool has(Flag flag) const { return (flags & flag) != 0; }
        RiffVerdict verdict() const { return RiffVerdict((flags >> kVerdictShift) & 3); }
    };

    EntryHeads(const ScanResult& scan, SoundLengthMs soundLength);
    ~EntryHeads();
    EntryHeads(const EntryHeads&) = delete;
    EntryHeads& operator=(const EntryHeads&) = delete;

    // The scan is being replaced: everything is read afresh, the source
    // opened again.
    void forget();

    // Of entry index (0-based).
    const Head& head(std::size_t index) const;
    EntryHeader header(std::size_t index) const;
    const std::string& title(std::size_t index) const; // empty without one
    // Whole milliseconds of a wave that plays; -1 for every other entry.
    std::int64_t durationMs(std::size_t index) const;
    // How far the cut's length is from what the header claims.
    std::int64_t sizeDifference(std::size_t index) const;
    // The original file (planOriginal with every option), planned from the
    // source, else from the entry file, which has no archive header before
    // it: no member's name or size then. Throws ScanError.
    OriginalFile original(std::size_t index) const;
    // The original's file name; empty where the entry is unreadable.
    const std::string& originalName(std::size_t index) const;

private:
    const SourceReader* source() const;
    template <typename ReadBytes> auto readEntry(std::size_t index, const ReadBytes& read) const;

    const ScanResult& m_scan;
    SoundLengthMs m_soundLength;
    mutable std::vector<Head> m_heads;
    mutable std::unordered_map<std::size_t, std::string> m_titles;
    mutable std::unordered_map<std::size_t, std::string> m_names;
    mutable std::unique_ptr<SourceReader> m_source;
    mutable bool m_sourceTried = false;
};

} // namespace cp
