// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scan/EntryHeader.h"
#include "scan/ScanResult.h"
#include "base/NumberFormat.h"

#include <QAbstractTableModel>
#include <QString>

class QTimer;

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

namespace cp {

class SourceReader;
struct ScanResult;

// One row per entry of the last scan, with what its header says. Headers are
// read when a row is first shown, or all at once for a sort or filter that
// needs them, from the source at the entry's place through one descriptor
// (the entry files only where the source is gone or changed), and kept in
// a few bytes each. Sorting and filtering are the model's own: one index an
// entry, no copy of anything per row.
class EntryListModel final : public QAbstractTableModel {
public:
    enum Column { Number, Position, Length, Form, Format, Channels, Rate, Bits, Duration, Header, Title, ColumnCount };

    EntryListModel(const ScanResult& scan, const NumberStyle& style, QObject* parent = nullptr);
    ~EntryListModel() override;

    // The scan is about to be replaced (a scan starting or done), and has
    // been: the list then starts afresh, keeping its sort and filter.
    void scanChanging();
    void scanChanged();

    // Only entries whose form, format or title holds typed (in any case,
    // without blanks around it), and with mismatchesOnly only those whose
    // header's size disagrees with the cut.
    void setFilter(const QString& typed, bool mismatchesOnly);

    std::int64_t entryAt(int row) const { return std::int64_t(m_rows.at(std::size_t(row))) + 1; }
    int rowOf(std::int64_t entry) const; // -1 where the filter hides it

    // Sorting by "Dauer" learns the playing times a slice at a time between
    // events; told true when that begins and false when it is over.
    bool learning() const;
    void setLearningNotice(std::function<void(bool)> notice) { m_learningNotice = std::move(notice); }

    // The order of texts in the list: digit runs by their value ("Wasser 9"
    // before "Wasser 10"), letters regardless of case and accents, so that
    // the order does not hang on the locale. Below zero when a comes first.
    static int naturalCompare(const QString& a, const QString& b);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    // What an entry's header says, in 24 bytes; its title, which few carry, apart.
    struct Head {
        std::uint32_t sizeField = 0; // the claimed size less the 8 bytes before the form
        std::uint32_t sampleRate = 0;
        std::int32_t durationMs = -2; // -2: not known yet, -1: none
        char form[4] = {};
        std::uint16_t formatTag = 0, channels = 0, bits = 0;
        std::uint8_t flags = 0;
    };
    enum Flag : std::uint8_t { Read = 1, Riff = 2, Wave = 4, Titled = 8, Unreadable = 16 };

    const Head& head(std::size_t index) const;
    EntryHeader header(std::size_t index) const;
    std::int64_t durationMs(std::size_t index) const; // -1: none to show
    const SourceReader* source() const;
    QString text(std::size_t index, int column) const;
    bool shown(std::size_t index, const QString& text, bool mismatchesOnly) const;
    std::vector<std::int64_t> sortKeys(int column) const;
    void arrangeRows(); // filters and sorts afresh
    void orderRows();
    void setLearning(bool on);
    void learnSlice();

    const ScanResult& m_scan;
    NumberStyle m_style;
    mutable std::vector<Head> m_heads;
    mutable std::unordered_map<std::size_t, std::string> m_titles;
    mutable std::unique_ptr<SourceReader> m_source;
    mutable bool m_sourceTried = false;
    std::vector<std::uint32_t> m_rows; // entry index per row, as filtered and sorted
    int m_sortColumn = Number;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    QString m_filter;
    bool m_mismatchesOnly = false;
    QTimer* m_learner;
    std::size_t m_learned = 0; // the playing times of entries before it are known
    std::function<void(bool)> m_learningNotice;
};

} // namespace cp
