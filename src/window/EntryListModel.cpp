// SPDX-License-Identifier: GPL-3.0-or-later
#include "EntryListModel.h"

#include "playback/SoundFile.h"

#include <QTimer>

#include <vector>

namespace cp {

namespace {

QVariant alignmentOf(int column)
{
    const bool number = EntryListRows::alignment(column) == EntryListRows::Alignment::Number;
    return QVariant::fromValue(Qt::Alignment(number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
}

} // namespace

EntryListModel::EntryListModel(const ScanResult& scan, const NumberStyle& style, QObject* parent)
    : QAbstractTableModel(parent)
    , m_rows(scan, style, soundLengthMs)
    , m_learner(new QTimer(this))
{
    m_learner->setInterval(0);
    connect(m_learner, &QTimer::timeout, this, [this] { learnSlice(); });
    m_rows.setLearningNotice([this](bool learning) { learningChanged(learning); });
}

// Going, it tells nobody: whoever listens may be gone already.
EntryListModel::~EntryListModel() = default;

void EntryListModel::scanChanging()
{
    beginResetModel();
    m_rows.scanChanging();
}

void EntryListModel::scanChanged()
{
    m_rows.scanChanged();
    endResetModel();
}

void EntryListModel::setFilter(const QString& typed, bool mismatchesOnly)
{
    const std::string text = typed.toStdString();
    if (m_rows.sameFilter(text, mismatchesOnly))
        return;
    beginResetModel();
    m_rows.setFilter(text, mismatchesOnly);
    endResetModel();
}

int EntryListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows.rowCount();
}

int EntryListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.rowCount())
        return {};
    switch (role) {
    case Qt::DisplayRole: return QString::fromStdString(m_rows.text(index.row(), index.column()));
    case Qt::TextAlignmentRole: return alignmentOf(index.column());
    case Qt::ToolTipRole: return QString::fromStdString(m_rows.toolTip(index.row()));
    default: return {};
    }
}

QVariant EntryListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal) // a section past the columns has an empty caption
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(EntryListRows::caption(section));
    if (role == Qt::TextAlignmentRole)
        return alignmentOf(section);
    return {};
}

void EntryListModel::sort(int column, Qt::SortOrder order)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // The view's current row and selection stay with their entries.
    const QModelIndexList before = persistentIndexList();
    std::vector<std::int64_t> entries;
    for (const QModelIndex& index : before)
        entries.push_back(m_rows.entryAt(index.row()));
    m_rows.sort(column, order == Qt::AscendingOrder);
    if (!before.isEmpty()) {
        const std::vector<int> rowOfEntry = m_rows.rowsOfEntries();
        QModelIndexList after;
        for (std::size_t i = 0; i < entries.size(); ++i)
            after << index(rowOfEntry[std::size_t(entries[i])], before[int(i)].column());
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void EntryListModel::learningChanged(bool learning)
{
    if (learning)
        m_learner->start();
    else
        m_learner->stop();
    if (m_learningNotice)
        m_learningNotice(learning);
}

void EntryListModel::learnSlice()
{
    if (m_rows.learnSlice())
        sort(m_rows.sortColumn(), m_rows.sortAscending() ? Qt::AscendingOrder : Qt::DescendingOrder);
}

} // namespace cp
