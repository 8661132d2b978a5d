// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/NumberFormat.h"
#include "logic/EntryListRows.h"

#include <QAbstractTableModel>
#include <QString>

#include <cstdint>
#include <functional>

class QTimer;

namespace cp {

struct ScanResult;

// The entry list's rows for a Qt view: texts, alignment and tooltips as the
// rows say them, sorting through the header, and the playing times learned
// from an idle timer for a sort by "Dauer".
class EntryListModel final : public QAbstractTableModel {
public:
    using enum EntryListRows::Column;

    EntryListModel(const ScanResult& scan, const NumberStyle& style, QObject* parent = nullptr);
    ~EntryListModel() override;

    // The scan is about to be replaced, and has been: the rows start afresh.
    void scanChanging();
    void scanChanged();
    void setFilter(const QString& typed, bool mismatchesOnly);

    std::int64_t entryAt(int row) const { return m_rows.entryAt(row); }
    int rowOf(std::int64_t entry) const { return m_rows.rowOf(entry); }

    // Told true when the playing times begin to be learned and false when
    // the rows are sorted by them.
    bool learning() const { return m_rows.learning(); }
    void setLearningNotice(std::function<void(bool)> notice) { m_learningNotice = std::move(notice); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    void learningChanged(bool learning);
    void learnSlice();

    EntryListRows m_rows;
    QTimer* m_learner;
    std::function<void(bool)> m_learningNotice;
};

} // namespace cp
