// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace cp {

class SourceReader;

// How an entry compares with the RIFF file its header claims. The claim is
// 8 + the size field, plus the pad byte when the size is odd.
enum class RiffVerdict {
    Whole,       // the entry is the claimed file (a missing pad byte at its very end included)
    Padded,      // bytes follow the claimed file: a container's padding, or more of the file
    Cut,         // the entry ends before its claim: a tag inside its data, or a file split
    NoStructure, // the tag starts no RIFF file: text, code or compressed data that merely hold "RIFF"
};

// Why the trimmed length is what it is.
enum class TrimReason {
    AsClaimed,         // the entry is the claimed file
    PaddingDropped,    // the bytes after the claim are dropped
    ClaimPastEntry,    // the entry ends before its claim: nothing to drop
    NoStructure,       // no claim to go by
    ChunkCrossesClaim, // a chunk begun inside the claim runs past it: the chunks' end is the file's
    ClaimUnfinished,   // a streaming writer's placeholder claim: the entry is kept whole
    ChunkAfterClaim,   // a chunk follows the claim: the chunks' end is the file's
};

// What an entry's RIFF structure says. The tag starts no RIFF file when the
// size field is below 4, the form is not four printable ASCII characters, or
// the first chunk's id is not printable ASCII or the chunk does not fit in
// the claim.
//
// Trimming. A padded entry is trimmed to its claim, the pad byte included
// only where it is zero and no zero follows it (a pad byte is zero; a writer
// that leaves it out has the next bytes there, a disk image zeros), except
// where the chunks say otherwise:
// - a chunk (or only its header) that starts inside the claim runs past its
//   end, or a well-formed chunk (printable id, size within the entry) starts
//   right where the claim ends: the file ends where its chunks end, walked
//   on within the entry (a size field written too small);
// - the claim covers at most a quarter of the entry and its last chunk is
//   empty and ends exactly at the claim's end, as a writer that streams
//   leaves its sizes until it is done (a 44-byte wave header with an empty
//   data chunk before 4 KiB of sound): the sound has no chunk to end it, and
//   the entry is kept whole.
// A small claim whose chunks are complete and followed by anything else is a
// small file in a container's padding, and is trimmed.
//
// The walk goes through the top-level chunks from offset 12 up to the
// trimmed length (the entry's end when it is cut or kept whole), at most
// kMaxRiffChunks of them, and stops at an id that is no printable ASCII:
// what follows is no chunk. After a chunk of odd size it skips the pad byte
// only where that is zero, as above. It reads chunk headers, the fmt chunk, the first
// bytes of LIST chunks and a few KiB of LIST/INFO ones; never the sound.
struct RiffStructure {
    RiffVerdict verdict = RiffVerdict::NoStructure;
    std::string form;               // the four characters as they stand, when the entry holds them
    std::uint64_t claimedSize = 0;  // 8 + size field, plus the pad byte when that is odd
    std::int64_t trimmedLength = 0; // the original file's length as far as the entry tells
    TrimReason trimReason = TrimReason::NoStructure;
    std::uint64_t chunks = 0; // top-level chunks walked
    bool walkEnded = true;    // false when kMaxRiffChunks stopped the walk
    std::string title;        // LIST/INFO "INAM" anywhere walked, as stored, up to its first NUL
    // WAVE: the data chunk's own size within the trimmed length, so that neither a
    // placeholder claim nor a container's padding counts as sound; an unfinished
    // header's empty data chunk runs to the entry's end.
    std::optional<std::uint64_t> dataBytes;
    std::uint32_t byteRate = 0;             // WAVE: fmt's bytes per second
    std::optional<std::int64_t> durationMs; // WAVE from data and byte rate; AVI from avih's frames
};

inline constexpr std::uint64_t kMaxRiffChunks = 100'000;

// The structure of the length bytes at offset (0-based) of source. Throws ScanError.
RiffStructure readRiffStructure(const SourceReader& source, std::int64_t offset, std::int64_t length);

// The extension a file of the form is known by: ".wav", ".avi", ".webp", ".sf2",
// ".ani", ".rmi", ".dls", else ".riff".
std::string riffExtension(const std::string& form);

// "whole", "padded", "cut", "no_structure": for machines.
const char* verdictWord(RiffVerdict verdict);

// Why, in German words for a manifest.
std::string trimReasonText(TrimReason reason);

} // namespace cp
