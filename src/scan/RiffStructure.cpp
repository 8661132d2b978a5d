// SPDX-License-Identifier: GPL-3.0-or-later
#include "RiffStructure.h"

#include "files/FileIo.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace cp {

namespace {

// Chunk headers are read this many bytes at a time: a run of small chunks
// takes one read for many, a large chunk's contents are never read.
constexpr std::size_t kHeaderRead = 512;
// Of a LIST/INFO chunk, this much is read for its title, in this many at most.
constexpr std::size_t kInfoBytes = 4096;
constexpr int kMaxInfoLists = 16;
// LIST hdrl's type and its avih chunk, which opens it.
constexpr std::size_t kHeaderListBytes = 4 + 8 + 56;
// A claim this many times smaller than its entry is doubted where it ends in an empty chunk.
constexpr std::uint64_t kSmallClaimRatio = 4;

std::uint32_t le32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

bool isKind(const unsigned char* p, const char* id)
{
    return std::memcmp(p, id, 4) == 0;
}

bool isPrintable(const unsigned char* p)
{
    return std::all_of(p, p + 4, [](unsigned char c) { return c >= 0x20 && c < 0x7f; });
}

// What the walk has found so far, and where its last chunk lay.
struct Findings {
    std::uint64_t lastAt = 0;
    bool crossesClaim = false;
    std::optional<std::uint64_t> dataAt;
    std::uint64_t dataSize = 0;
    std::optional<std::uint64_t> microsecondsPerFrame;
    std::uint64_t frames = 0;
    int infoLists = 0;
};

// An entry's bytes, read in bounded pieces; the last piece is kept so that
// neighbouring chunk headers cost one read.
struct EntryBytes {
    const SourceReader& source;
    std::int64_t offset;
    std::uint64_t length;
    std::vector<unsigned char> window {};
    std::uint64_t windowAt = 0;
};

// Up to count bytes of the entry from at, fewer where the entry ends.
std::pair<const unsigned char*, std::size_t> peek(EntryBytes& entry, std::uint64_t at, std::size_t count)
{
    if (at >= entry.length)
        return {nullptr, 0};
    const std::uint64_t wanted = std::min<std::uint64_t>(at + count, entry.length);
    if (at < entry.windowAt || wanted > entry.windowAt + entry.window.size()) {
        entry.window.resize(std::size_t(std::min<std::uint64_t>(std::max(count, kHeaderRead), entry.length - at)));
        entry.window.resize(
            entry.source.readAt(entry.window.data(), entry.window.size(), entry.offset + std::int64_t(at)));
        entry.windowAt = at;
    }
    const std::uint64_t from = at - entry.windowAt;
    return {entry.window.data() + from, std::size_t(std::min<std::uint64_t>(count, entry.window.size() - from))};
}

// The 8 bytes of the chunk header at at, null where the entry does not hold them.
const unsigned char* chunkHeader(EntryBytes& entry, std::uint64_t at)
{
    const auto [bytes, got] = peek(entry, at, 8);
    return got == 8 ? bytes : nullptr;
}

void readInfo(EntryBytes& entry, std::uint64_t at, std::uint64_t size, RiffStructure& structure, Findings& found)
{
    if (!structure.title.empty() || found.infoLists++ >= kMaxInfoLists)
        return;
    const auto [body, got] = peek(entry, at + 8, std::size_t(std::min<std::uint64_t>(size, kInfoBytes)));
    for (std::uint64_t sub = 4; sub + 8 <= got && structure.title.empty();) {
        const std::uint64_t subSize = le32(body + sub + 4);
        const char* text = reinterpret_cast<const char*>(body + sub + 8);
        if (isKind(body + sub, "INAM"))
            structure.title.assign(text, ::strnlen(text, std::size_t(std::min(subSize, got - sub - 8))));
        sub += 8 + subSize + (subSize & 1);
    }
}

void readHeaderList(const unsigned char* body, std::size_t got, Findings& found)
{
    if (got < 12 + 20 || !isKind(body + 4, "avih") || le32(body + 8) < 20 || found.microsecondsPerFrame)
        return;
    found.microsecondsPerFrame = le32(body + 12);
    found.frames = le32(body + 12 + 16);
}

// Looks into the chunk at at as far as it names something to know.
void inspect(EntryBytes& entry, std::uint64_t at, std::uint64_t size, RiffStructure& structure, Findings& found)
{
    unsigned char id[4];
    std::memcpy(id, chunkHeader(entry, at), 4); // the reads below may move the window
    const bool wave = structure.form == "WAVE";
    if (wave && isKind(id, "data") && !found.dataAt) {
        found.dataAt = at;
        found.dataSize = size;
    } else if (wave && isKind(id, "fmt ") && size >= 16 && structure.byteRate == 0) {
        const auto [body, got] = peek(entry, at + 8, 16);
        structure.byteRate = got == 16 ? le32(body + 8) : 0;
    } else if (isKind(id, "LIST") && size >= 4) {
        const auto [body, got] = peek(entry, at + 8, std::size_t(std::min<std::uint64_t>(size, kHeaderListBytes)));
        if (got >= 4 && isKind(body, "INFO"))
            readInfo(entry, at, size, structure, found);
        else if (got >= 4 && isKind(body, "hdrl") && structure.form == "AVI ")
            readHeaderList(body, got, found);
    }
}

// Chunks are padded to even sizes with a zero byte. A writer that leaves the
// pad out has the next chunk's id there, which is never zero, or ends the
// file; and a zero followed by more zeros is rather a container's padding
// after such a file (a disk image's sector), than a pad byte.
std::uint64_t afterPadByte(EntryBytes& entry, std::uint64_t at, std::uint64_t size)
{
    if ((size & 1) == 0)
        return at;
    const auto [bytes, got] = peek(entry, at, 2);
    const bool pad = got >= 1 && bytes[0] == 0 && (got == 1 || bytes[1] != 0);
    return pad ? at + 1 : at;
}

// Walks the top-level chunks that start from at up to end (a chunk header
// may run past end, if not past the entry); returns where the walk stopped.
std::uint64_t walk(EntryBytes& entry, std::uint64_t at, std::uint64_t end, RiffStructure& structure, Findings& found)
{
    while (at < end) {
        const unsigned char* header = chunkHeader(entry, at);
        if (!header || !isPrintable(header))
            return at;
        if (structure.chunks == kMaxRiffChunks) {
            structure.walkEnded = false;
            return at;
        }
        ++structure.chunks;
        const std::uint64_t size = le32(header + 4);
        found.lastAt = at;
        found.crossesClaim = found.crossesClaim || at + 8 + size > structure.claimedSize;
        inspect(entry, at, size, structure, found);
        at = afterPadByte(entry, at + 8 + size, size);
    }
    return at;
}

// Whether the claim ends in an empty chunk, far smaller than the entry: a
// writer that streams leaves its sizes so until it is done, and the sound
// follows without a chunk of its own.
bool endsInPlaceholder(const EntryBytes& entry, const RiffStructure& structure, const Findings& found)
{
    const std::uint64_t claim = structure.claimedSize;
    // The last chunk's header ends the claim: an empty chunk, as no chunk crosses the claim here.
    return found.lastAt + 8 == claim && claim * kSmallClaimRatio <= entry.length;
}

// Whether a well-formed chunk starts right where the claim ends.
bool chunkFollowsClaim(EntryBytes& entry, const RiffStructure& structure)
{
    const std::uint64_t claim = structure.claimedSize;
    const unsigned char* next = chunkHeader(entry, claim);
    return next && isPrintable(next) && claim + 8 + le32(next + 4) <= entry.length;
}

// Where a padded entry's file ends: see the header.
void trimPadded(EntryBytes& entry, std::uint64_t sizeField, std::uint64_t stop, RiffStructure& structure,
                Findings& found)
{
    structure.trimmedLength = std::int64_t(afterPadByte(entry, 8 + sizeField, sizeField));
    const bool placeholder = !found.crossesClaim && endsInPlaceholder(entry, structure, found);
    if (placeholder) {
        structure.trimReason = TrimReason::ClaimUnfinished;
        structure.trimmedLength = std::int64_t(entry.length);
        walk(entry, stop, entry.length, structure, found);
    } else if (found.crossesClaim || chunkFollowsClaim(entry, structure)) {
        // The chunks, not the claim, say where the file ends: as far as they
        // go on well-formed, within the entry.
        structure.trimReason = found.crossesClaim ? TrimReason::ChunkCrossesClaim : TrimReason::ChunkAfterClaim;
        // The chunk after the claim, where the walk inside it stopped short at bytes that are no chunk.
        const std::uint64_t from = found.crossesClaim ? stop : std::max(stop, structure.claimedSize);
        const std::uint64_t end = walk(entry, from, entry.length, structure, found);
        structure.trimmedLength = std::int64_t(structure.walkEnded ? std::min(end, entry.length) : entry.length);
    }
}

void judge(RiffStructure& structure, std::uint64_t length, std::uint64_t sizeField)
{
    const std::uint64_t claim = structure.claimedSize;
    if (length == claim || length == sizeField + 8) {
        structure.verdict = RiffVerdict::Whole;
        structure.trimReason = TrimReason::AsClaimed;
    } else if (length > claim) {
        structure.verdict = RiffVerdict::Padded;
        structure.trimReason = TrimReason::PaddingDropped;
        structure.trimmedLength = std::int64_t(claim);
    } else {
        structure.verdict = RiffVerdict::Cut;
        structure.trimReason = TrimReason::ClaimPastEntry;
    }
}

void playingTime(RiffStructure& structure, const Findings& found)
{
    const auto end = std::uint64_t(structure.trimmedLength);
    if (found.dataAt) {
        const std::uint64_t body = *found.dataAt + 8;
        // An unfinished header's empty data chunk: its sound runs to the entry's end.
        const bool unfinished = structure.trimReason == TrimReason::ClaimUnfinished && found.dataSize == 0
            && body == structure.claimedSize;
        structure.dataBytes = unfinished ? end - body : std::min(found.dataSize, end - body);
        if (structure.byteRate > 0)
            structure.durationMs = std::int64_t(*structure.dataBytes * 1000 / structure.byteRate);
    }
    if (found.microsecondsPerFrame)
        structure.durationMs = std::int64_t(*found.microsecondsPerFrame * found.frames / 1000);
}

} // namespace

RiffStructure readRiffStructure(const SourceReader& source, std::int64_t offset, std::int64_t length)
{
    RiffStructure structure;
    structure.trimmedLength = std::max<std::int64_t>(length, 0);
    EntryBytes entry {source, offset, std::uint64_t(structure.trimmedLength)};
    const auto [head, got] = peek(entry, 0, 20);
    if (got >= 12)
        structure.form.assign(reinterpret_cast<const char*>(head + 8), 4);
    if (got < 20 || !isKind(head, "RIFF"))
        return structure;
    const std::uint64_t sizeField = le32(head + 4);
    structure.claimedSize = 8 + sizeField + (sizeField & 1);
    // A claim too short for the form and one chunk header fails the last test too.
    if (!isPrintable(head + 8) || !isPrintable(head + 12)
        || 20 + std::uint64_t(le32(head + 16)) > structure.claimedSize)
        return structure;
    judge(structure, entry.length, sizeField);
    Findings found;
    const std::uint64_t stop = walk(entry, 12, std::min(structure.claimedSize, entry.length), structure, found);
    if (structure.verdict == RiffVerdict::Padded)
        trimPadded(entry, sizeField, stop, structure, found);
    playingTime(structure, found);
    return structure;
}

std::string riffExtension(const std::string& form)
{
    static const std::pair<const char*, const char*> known[]
        = {{"WAVE", ".wav"}, {"AVI ", ".avi"}, {"WEBP", ".webp"}, {"sfbk", ".sf2"},
           {"ACON", ".ani"}, {"RMID", ".rmi"}, {"DLS ", ".dls"}};
    for (const auto& [name, extension] : known)
        if (form == name)
            return extension;
    return ".riff";
}

const char* verdictWord(RiffVerdict verdict)
{
    switch (verdict) {
    case RiffVerdict::Whole: return "whole";
    case RiffVerdict::Padded: return "padded";
    case RiffVerdict::Cut: return "cut";
    case RiffVerdict::NoStructure: break;
    }
    return "no_structure";
}

std::string trimReasonText(TrimReason reason)
{
    switch (reason) {
    case TrimReason::AsClaimed: return "Länge laut Kopf";
    case TrimReason::PaddingDropped: return "Füllbytes nach dem Ende laut Kopf weggelassen";
    case TrimReason::ClaimPastEntry: return "Eintrag endet vor dem Ende laut Kopf";
    case TrimReason::NoStructure: return "keine RIFF-Struktur";
    case TrimReason::ChunkCrossesClaim:
        return "bis zum Ende der Chunks: ein Chunk reicht über das Ende laut Kopf hinaus";
    case TrimReason::ClaimUnfinished: return "ganz behalten: der Kopf ist unfertig, der Klang folgt ohne Chunk";
    case TrimReason::ChunkAfterClaim: return "bis zum Ende der Chunks: nach dem Ende laut Kopf folgt ein Chunk";
    }
    return {};
}

} // namespace cp
