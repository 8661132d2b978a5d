// SPDX-License-Identifier: GPL-3.0-or-later
#include "EntryHeads.h"

#include "base/PathHelpers.h"
#include "files/FileIo.h"
#include "scan/ScanError.h"
#include "scan/ScanResult.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>

namespace cp {

std::optional<std::int64_t> playingTimeMs(std::optional<std::int64_t> decoded, const RiffStructure& structure)
{
    if (structure.form != "WAVE")
        return structure.durationMs;
    // A whole file is the decoder's to measure: a byte rate in the header may
    // be an average only (compressed sound).
    if (decoded && structure.durationMs && structure.verdict != RiffVerdict::Whole)
        return std::min(*decoded, *structure.durationMs);
    return decoded;
}

EntryHeads::EntryHeads(const ScanResult& scan, SoundLengthMs soundLength) : m_scan(scan), m_soundLength(soundLength)
{
}

EntryHeads::~EntryHeads() = default;

void EntryHeads::forget()
{
    m_heads.clear();
    m_titles.clear();
    m_names.clear();
    m_source.reset();
    m_sourceTried = false;
}

const SourceReader* EntryHeads::source() const
{
    // The scanned file as it was: one descriptor for every header.
    if (!m_sourceTried) {
        m_sourceTried = true;
        try {
            m_source = std::make_unique<SourceReader>(m_scan.sourceFile);
            if (m_source->size() != m_scan.sourceLength)
                m_source.reset();
        } catch (const ScanError&) {
        }
    }
    return m_source.get();
}

// Hands read the entry's bytes: its place in the source, else (the source
// gone or of another length now) its own file. Throws ScanError.
template <typename ReadBytes> auto EntryHeads::readEntry(std::size_t index, const ReadBytes& read) const
{
    if (const SourceReader* whole = source(); whole && index < m_scan.tagPositions.size())
        return read(*whole, m_scan.tagPositions[index] - 1, m_scan.entryLength(index));
    const SourceReader entry(m_scan.entryFile(std::int64_t(index) + 1));
    return read(entry, 0, entry.size());
}

const EntryHeads::Head& EntryHeads::head(std::size_t index) const
{
    if (m_heads.size() != m_scan.tagPositions.size())
        m_heads.assign(m_scan.tagPositions.size(), Head {});
    Head& h = m_heads[index];
    if (h.has(Read))
        return h;
    h.flags = Read;
    EntryHeader header;
    try {
        header = readEntry(index, readEntryHeader);
        h.flags |= std::uint8_t(int(readEntry(index, readRiffStructure).verdict) << kVerdictShift);
    } catch (const ScanError&) {
        h.flags |= Unreadable;
        return h;
    }
    if (header.riffHeader) {
        h.flags |= Riff;
        h.sizeField = std::uint32_t(header.claimedSize - 8);
        std::memcpy(h.form, header.form.data(), 4);
    }
    if (header.format) {
        h.flags |= Wave;
        h.formatTag = header.formatTag;
        h.channels = header.channels;
        h.bits = header.bitsPerSample;
        h.sampleRate = header.sampleRate;
    }
    if (!header.title.empty()) {
        h.flags |= Titled;
        m_titles[index] = std::move(header.title);
    }
    return h;
}

EntryHeader EntryHeads::header(std::size_t index) const
{
    const Head& h = head(index);
    EntryHeader header;
    header.riffHeader = h.has(Riff);
    if (header.riffHeader) {
        header.form.assign(h.form, 4);
        header.claimedSize = std::uint64_t(h.sizeField) + 8;
    }
    header.format = h.has(Wave);
    header.formatTag = h.formatTag;
    header.channels = h.channels;
    header.bitsPerSample = h.bits;
    header.sampleRate = h.sampleRate;
    header.title = title(index);
    return header;
}

const std::string& EntryHeads::title(std::size_t index) const
{
    static const std::string none;
    return head(index).has(Titled) ? m_titles.at(index) : none;
}

std::int64_t EntryHeads::durationMs(std::size_t index) const
{
    const Head& h = head(index);
    if (h.durationMs != -2)
        return h.durationMs;
    // Only a wave plays; the rest would cost a decoder's attempt each.
    std::optional<std::int64_t> ms;
    if (h.has(Riff)) {
        try {
            const RiffStructure structure = readEntry(index, readRiffStructure);
            const bool wave = std::memcmp(h.form, "WAVE", 4) == 0;
            ms = playingTimeMs(wave ? readEntry(index, m_soundLength) : std::nullopt, structure);
        } catch (const ScanError&) {
        }
    }
    // Where the window finds no playing time it shows none, as chunkpicker-info does.
    m_heads[index].durationMs = ms.value_or(0) > 0 ? std::int32_t(std::min<std::int64_t>(*ms, INT32_MAX)) : -1;
    return m_heads[index].durationMs;
}

std::int64_t EntryHeads::sizeDifference(std::size_t index) const
{
    return m_scan.entryLength(index) - std::int64_t(head(index).sizeField) - 8;
}

OriginalFile EntryHeads::original(std::size_t index) const
{
    // The number's name without its ".wav", which the form's extension replaces.
    std::string stem = fileNamePart(m_scan.entryFile(std::int64_t(index) + 1));
    if (stem.ends_with(".wav"))
        stem.resize(stem.size() - 4);
    return readEntry(index, [&](const SourceReader& from, std::int64_t offset, std::int64_t length) {
        return planOriginal(from, offset, length, stem, {true, true, true});
    });
}

const std::string& EntryHeads::originalName(std::size_t index) const
{
    static const std::string none;
    if (head(index).has(Unreadable))
        return none;
    const auto known = m_names.find(index);
    if (known != m_names.end())
        return known->second;
    std::string name;
    try {
        name = original(index).name;
    } catch (const ScanError&) {
    }
    return m_names[index] = std::move(name);
}

} // namespace cp
