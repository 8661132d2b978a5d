// SPDX-License-Identifier: GPL-3.0-or-later
#include "EntryListRows.h"

#include "logic/HeaderWording.h"
#include "logic/NaturalKey.h"
#include "scan/ScanError.h"
#include "scan/ScanResult.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <iterator>
#include <limits>
#include <map>

namespace cp {

namespace {

// Each column's caption, and the longest text it commonly holds, as wide as the column is made.
const std::pair<const char*, const char*> kColumns[] = {
    {"Nr.", "100.000"},
    {"Position", "4.294.967.296"},
    {"Größe", "4.294.967.296"},
    {"Form", "kein RIFF-Kopf"},
    {"Format", "IMA-ADPCM"},
    {"Kanäle", "Kanäle"},
    {"Rate", "192.000"},
    {"Bits", "Bits"},
    {"Dauer", "1.000,000 s"},
    {"Kopf", "\u2212999.999 Byte"},
    {"Titel", "00000000000000000000"},
    {"Befund", "keine Struktur"},
    {"Name", "Sound001 aus x.pak.wav"},
};
static_assert(std::size(kColumns) == EntryListRows::ColumnCount);

constexpr std::chrono::milliseconds kLearnSlice {25}; // the window answers between slices

constexpr std::int64_t kNone = std::numeric_limits<std::int64_t>::min(); // sorts before every value

// Ranks ids by the text people see for them; one text made per distinct id.
template <typename Id, typename Text>
std::map<Id, std::int64_t> rankByText(const std::vector<Id>& ids, const Text& text)
{
    std::map<Id, NaturalKey> keys;
    for (const Id& id : ids)
        if (keys.find(id) == keys.end())
            keys.emplace(id, NaturalKey(text(id)));
    std::vector<std::pair<const NaturalKey*, Id>> sorted;
    for (const auto& [id, key] : keys)
        sorted.emplace_back(&key, id);
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        const int order = NaturalKey::compare(*a.first, *b.first);
        return order != 0 ? order < 0 : a.second < b.second;
    });
    std::map<Id, std::int64_t> ranks;
    for (std::size_t i = 0; i < sorted.size(); ++i)
        ranks[sorted[i].second] = std::int64_t(i);
    return ranks;
}

} // namespace

EntryListRows::EntryListRows(const ScanResult& scan, const NumberStyle& style, SoundLengthMs soundLength)
    : m_scan(scan)
    , m_style(style)
    , m_heads(scan, soundLength)
{
    arrangeRows();
}

std::string EntryListRows::caption(int column)
{
    return column >= 0 && column < ColumnCount ? kColumns[column].first : "";
}

std::string EntryListRows::widestText(int column)
{
    return column >= 0 && column < ColumnCount ? kColumns[column].second : "";
}

EntryListRows::Alignment EntryListRows::alignment(int column)
{
    // Kopf says "stimmt" or "+979 Byte": words, set left, with its free space before Titel.
    const bool words = column == Form || column == Format || column == Header || column == Title || column == Verdict
        || column == Name;
    return words ? Alignment::Words : Alignment::Number;
}

std::string EntryListRows::text(int row, int column) const
{
    return cellText(std::size_t(entryAt(row) - 1), column);
}

std::string EntryListRows::toolTip(int row) const
{
    const std::size_t index = std::size_t(entryAt(row) - 1);
    if (m_heads.head(index).has(EntryHeads::Unreadable))
        return {};
    std::string text = entryToolTipText(m_heads.header(index), m_scan.entryLength(index), m_style);
    try { // and what its original is: why it is as long as it is
        const OriginalFile original = m_heads.original(index);
        text += "\nBefund: " + verdictWords(original.structure.verdict) + " (" + lengthReasonText(original) + ")";
    } catch (const ScanError&) {
    }
    return text;
}

int EntryListRows::rowOf(std::int64_t entry) const
{
    if (entry < 1)
        return -1;
    const auto at = std::find(m_rows.begin(), m_rows.end(), std::uint32_t(entry - 1));
    return at == m_rows.end() ? -1 : int(at - m_rows.begin());
}

std::vector<int> EntryListRows::rowsOfEntries() const
{
    std::vector<int> rowOfEntry;
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        const std::size_t entry = std::size_t(m_rows[row]) + 1;
        if (entry >= rowOfEntry.size())
            rowOfEntry.resize(entry + 1, -1);
        rowOfEntry[entry] = int(row);
    }
    return rowOfEntry;
}

void EntryListRows::scanChanging()
{
    // Nothing is read of a scan being replaced, and the old source is let go.
    m_changing = true;
    m_rows.clear();
    m_heads.forget();
}

void EntryListRows::scanChanged()
{
    m_changing = false;
    m_heads.forget();
    m_learned = 0;
    arrangeRows();
}

bool EntryListRows::sameFilter(std::string_view typed, bool mismatchesOnly) const
{
    return withoutBlanks(typed) == m_filter && mismatchesOnly == m_mismatchesOnly;
}

void EntryListRows::setFilter(std::string_view typed, bool mismatchesOnly)
{
    if (sameFilter(typed, mismatchesOnly))
        return;
    m_filter = withoutBlanks(typed); // blanks alone filter nothing out
    m_foldedFilter = caseFolded(m_filter);
    m_mismatchesOnly = mismatchesOnly;
    arrangeRows();
}

void EntryListRows::sort(int column, bool ascending)
{
    if (column < 0 || column >= ColumnCount)
        return;
    m_sortColumn = column;
    m_ascending = ascending;
    orderRows();
}

bool EntryListRows::learnSlice()
{
    if (!m_learning || m_changing)
        return false;
    const std::size_t count = m_scan.tagPositions.size();
    const auto until = std::chrono::steady_clock::now() + kLearnSlice;
    while (m_learned < count && std::chrono::steady_clock::now() < until)
        m_heads.durationMs(m_learned++);
    return m_learned == count;
}

std::string EntryListRows::cellText(std::size_t index, int column) const
{
    switch (column) {
    case Number: return formatGrouped(std::int64_t(index) + 1, m_style);
    case Position: return formatGrouped(m_scan.tagPositions[index], m_style);
    case Length: return formatGrouped(m_scan.entryLength(index), m_style);
    default: break;
    }
    const EntryHeads::Head& h = m_heads.head(index);
    if (h.has(EntryHeads::Unreadable))
        return {};
    const bool wave = h.has(EntryHeads::Wave);
    switch (column) {
    case Form: return formWords(m_heads.header(index));
    case Format: return formatWords(m_heads.header(index));
    case Channels: return wave ? formatNumber(h.channels, m_style) : std::string();
    case Rate: return wave ? formatGrouped(h.sampleRate, m_style) : std::string();
    case Bits: return wave ? formatNumber(h.bits, m_style) : std::string();
    case Duration: {
        const std::int64_t ms = m_heads.durationMs(index);
        return ms < 0 ? std::string() : secondsWords(ms, true, m_style);
    }
    case Header:
        return h.has(EntryHeads::Riff) ? sizeAgreementWords(m_heads.sizeDifference(index), true, m_style)
                                       : std::string();
    case Title: return h.has(EntryHeads::Titled) ? shownText(m_heads.title(index)) : std::string();
    case Verdict: return verdictWords(h.verdict());
    case Name: return shownText(m_heads.originalName(index));
    default: return {};
    }
}

bool EntryListRows::shown(std::size_t index) const
{
    const EntryHeads::Head& h = m_heads.head(index);
    if (m_mismatchesOnly && (h.has(EntryHeads::Unreadable) || h.verdict() == RiffVerdict::Whole))
        return false;
    if (m_foldedFilter.empty())
        return true;
    for (const int column : {Form, Format, Title, Verdict})
        if (caseFolded(cellText(index, column)).find(m_foldedFilter) != std::string::npos)
            return true;
    return false;
}

std::vector<std::int64_t> EntryListRows::textRanks(int column) const
{
    // Texts are ranked once per distinct form, format or verdict; a title or name is its entry's own.
    std::vector<std::uint32_t> ids;
    std::vector<std::size_t> entries;
    for (std::size_t i = 0; i < m_scan.tagPositions.size(); ++i) {
        const EntryHeads::Head& h = m_heads.head(i);
        std::uint32_t id = std::uint32_t(i);
        if (column == Form && h.has(EntryHeads::Riff))
            std::memcpy(&id, h.form, 4);
        else if (column == Format && h.has(EntryHeads::Wave))
            id = h.formatTag;
        else if (column == Verdict && !h.has(EntryHeads::Unreadable))
            id = std::uint32_t(h.verdict());
        else if (!(column == Title && h.has(EntryHeads::Titled)) && !(column == Name && !h.has(EntryHeads::Unreadable)))
            continue;
        ids.push_back(id);
        entries.push_back(i);
    }
    const auto ranks = rankByText(ids, [&](std::uint32_t id) {
        if (column == Form)
            return shownForm(std::string(reinterpret_cast<const char*>(&id), 4));
        if (column == Format)
            return formatName(std::uint16_t(id));
        if (column == Verdict)
            return verdictWords(RiffVerdict(id));
        return shownText(column == Name ? m_heads.originalName(id) : m_heads.title(id));
    });
    std::vector<std::int64_t> keys(m_scan.tagPositions.size(), kNone);
    for (std::size_t k = 0; k < entries.size(); ++k)
        keys[entries[k]] = ranks.at(ids[k]);
    return keys;
}

std::vector<std::int64_t> EntryListRows::sortKeys(int column) const
{
    if (column == Number || column == Position)
        return {}; // entry order
    if (column == Form || column == Format || column == Title || column == Verdict || column == Name)
        return textRanks(column);
    const std::size_t count = m_scan.tagPositions.size();
    std::vector<std::int64_t> keys(count, kNone);
    for (std::size_t i = 0; i < count; ++i) {
        if (column == Length) {
            keys[i] = m_scan.entryLength(i);
            continue;
        }
        const EntryHeads::Head& h = m_heads.head(i);
        const bool wave = h.has(EntryHeads::Wave);
        switch (column) {
        case Channels: keys[i] = wave ? h.channels : kNone; break;
        case Rate: keys[i] = wave ? h.sampleRate : kNone; break;
        case Bits: keys[i] = wave ? h.bits : kNone; break;
        case Duration: keys[i] = m_heads.durationMs(i) < 0 ? kNone : m_heads.durationMs(i); break;
        case Header: keys[i] = h.has(EntryHeads::Riff) ? m_heads.sizeDifference(i) : kNone; break;
        default: break;
        }
    }
    return keys;
}

void EntryListRows::arrangeRows()
{
    const std::size_t count = m_scan.tagPositions.size();
    m_rows.clear();
    m_rows.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        if ((m_foldedFilter.empty() && !m_mismatchesOnly) || shown(i))
            m_rows.push_back(std::uint32_t(i));
    if (m_rows.size() < m_rows.capacity() / 2)
        m_rows.shrink_to_fit();
    orderRows();
}

void EntryListRows::orderRows()
{
    // Playing times cost a decoder's look each: learned between events, and
    // the rows sorted once all are known; entry order until then.
    setLearning(m_sortColumn == Duration && m_learned < m_scan.tagPositions.size());
    const std::vector<std::int64_t> keys = m_learning ? std::vector<std::int64_t>() : sortKeys(m_sortColumn);
    const bool descending = !m_ascending && !m_learning;
    std::sort(m_rows.begin(), m_rows.end(), [&](std::uint32_t a, std::uint32_t b) {
        const std::int64_t ka = keys.empty() ? a : keys[a];
        const std::int64_t kb = keys.empty() ? b : keys[b];
        if (ka != kb)
            return descending ? kb < ka : ka < kb;
        return a < b;
    });
}

void EntryListRows::setLearning(bool on)
{
    if (on == m_learning)
        return;
    m_learning = on;
    if (m_learningNotice)
        m_learningNotice(on);
}

} // namespace cp
