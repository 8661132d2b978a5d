// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/NumberFormat.h"
#include "logic/EntryHeads.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace cp {

struct ScanResult;

// The entry list whatever draws it: one row per entry of the last scan, as
// filtered and sorted, and the texts of its cells. Headers are read when a
// row is first shown, or all at once for a sort or filter that needs them.
// One index an entry, no copy of anything per row.
class EntryListRows {
public:
    enum Column {
        Number,
        Position,
        Length,
        Form,
        Format,
        Channels,
        Rate,
        Bits,
        Duration,
        Header,
        Title,
        Verdict,
        Name,
        ColumnCount
    };
    // Numbers are set right, words left.
    enum class Alignment { Number, Words };

    // soundLength measures the playing times shown under "Dauer".
    EntryListRows(const ScanResult& scan, const NumberStyle& style, SoundLengthMs soundLength);

    static std::string caption(int column);
    // The longest text the column commonly holds: the face makes it as wide, or as its caption.
    static std::string widestText(int column);
    static Alignment alignment(int column);

    int rowCount() const { return int(m_rows.size()); }
    // UTF-8; empty where the entry has nothing to say there.
    std::string text(int row, int column) const;
    // What the entry's header says, at length, and its Befund with why its
    // original is as long as it is (empty where it is unreadable).
    std::string toolTip(int row) const;
    std::int64_t entryAt(int row) const { return std::int64_t(m_rows.at(std::size_t(row))) + 1; }
    int rowOf(std::int64_t entry) const; // -1 where the filter hides it
    // Each entry's row, indexed by entry number, found in one pass however
    // many are looked up (-1 where the filter hides it; entries past the end
    // of the vector are hidden too).
    std::vector<int> rowsOfEntries() const;

    // The scan is about to be replaced (a scan starting or done), and has
    // been: the rows then start afresh, keeping their sort and filter.
    void scanChanging();
    void scanChanged();

    // Only entries whose form, format or title holds typed (in any case,
    // without blanks around it), and with mismatchesOnly only those whose
    // header's size disagrees with the cut.
    void setFilter(std::string_view typed, bool mismatchesOnly);
    // Whether setFilter would leave the rows as they are.
    bool sameFilter(std::string_view typed, bool mismatchesOnly) const;

    // Equal keys keep entry order, whichever way the column is sorted.
    void sort(int column, bool ascending);
    int sortColumn() const { return m_sortColumn; }
    bool sortAscending() const { return m_ascending; }

    // Sorting by "Dauer" learns the playing times first, a slice at a time
    // between the face's events; the rows keep entry order until then. The
    // notice hears true when that begins and false when it is over.
    bool learning() const { return m_learning; }
    void setLearningNotice(std::function<void(bool)> notice) { m_learningNotice = std::move(notice); }
    // Learns for a moment; true once every playing time is known, when the
    // rows are to be sorted again (sort(sortColumn(), sortAscending())),
    // which ends the learning.
    bool learnSlice();

private:
    std::string cellText(std::size_t index, int column) const;
    bool shown(std::size_t index) const;
    std::vector<std::int64_t> sortKeys(int column) const;
    std::vector<std::int64_t> textRanks(int column) const;
    void arrangeRows(); // filters and sorts afresh
    void orderRows();
    void setLearning(bool on);

    const ScanResult& m_scan;
    NumberStyle m_style;
    EntryHeads m_heads;
    std::vector<std::uint32_t> m_rows; // entry index per row, as filtered and sorted
    int m_sortColumn = Number;
    bool m_ascending = true;
    std::string m_filter; // as typed, without blanks around it
    std::string m_foldedFilter;
    bool m_mismatchesOnly = false;
    bool m_changing = false; // between scanChanging() and scanChanged()
    bool m_learning = false;
    std::size_t m_learned = 0; // the playing times of entries before it are known
    std::function<void(bool)> m_learningNotice;
};

} // namespace cp
