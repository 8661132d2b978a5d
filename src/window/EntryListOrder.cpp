// SPDX-License-Identifier: GPL-3.0-or-later
// The list's order: which entries the filter shows, sorted by a column.
#include "EntryListModel.h"

#include "logic/HeaderWording.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <limits>
#include <map>

namespace cp {

namespace {

constexpr int kLearnSliceMs = 25; // the window answers between slices

constexpr std::int64_t kNone = std::numeric_limits<std::int64_t>::min(); // sorts before every value

// Ranks ids by the text people see for them; one text made per distinct id.
template <typename Id, typename Text> std::map<Id, std::int64_t> rankByText(const std::vector<Id>& ids, Text&& text)
{
    std::map<Id, QString> texts;
    for (const Id& id : ids)
        if (texts.find(id) == texts.end())
            texts.emplace(id, text(id));
    std::vector<std::pair<QString, Id>> sorted;
    for (auto& [id, shown] : texts)
        sorted.emplace_back(shown, id);
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        const int order = EntryListModel::naturalCompare(a.first, b.first);
        return order != 0 ? order < 0 : a.second < b.second;
    });
    std::map<Id, std::int64_t> ranks;
    for (std::size_t i = 0; i < sorted.size(); ++i)
        ranks[sorted[i].second] = std::int64_t(i);
    return ranks;
}

} // namespace

namespace {

// Letters without their accents and case: "Äpfel" as "apfel".
QString foldedForOrder(const QString& text)
{
    QString folded;
    for (const QChar c : text.normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing)
            folded += c;
    return folded.toCaseFolded();
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The end of the digit run starting at from.
qsizetype digitRunEnd(const QString& text, qsizetype from)
{
    while (from < text.size() && isDigit(text[from]))
        ++from;
    return from;
}

} // namespace

int EntryListModel::naturalCompare(const QString& a, const QString& b)
{
    const QString x = foldedForOrder(a), y = foldedForOrder(b);
    qsizetype i = 0, j = 0;
    while (i < x.size() && j < y.size()) {
        if (isDigit(x[i]) && isDigit(y[j])) {
            // By value: without leading zeros, the longer run is the larger number.
            const qsizetype xEnd = digitRunEnd(x, i), yEnd = digitRunEnd(y, j);
            while (i + 1 < xEnd && x[i] == QLatin1Char('0'))
                ++i;
            while (j + 1 < yEnd && y[j] == QLatin1Char('0'))
                ++j;
            if (xEnd - i != yEnd - j)
                return xEnd - i < yEnd - j ? -1 : 1;
            if (const int order = QStringView(x).mid(i, xEnd - i).compare(QStringView(y).mid(j, yEnd - j)))
                return order < 0 ? -1 : 1;
            i = xEnd;
            j = yEnd;
            continue;
        }
        if (x[i] != y[j])
            return x[i] < y[j] ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < x.size() || j < y.size())
        return i < x.size() ? 1 : -1;
    // Alike but for case, accents or leading zeros: still a fixed order.
    return std::clamp(a.compare(b), -1, 1);
}

bool EntryListModel::shown(std::size_t index, const QString& text, bool mismatchesOnly) const
{
    const Head& h = head(index);
    if (mismatchesOnly && (!(h.flags & Riff) || m_scan.entryLength(index) == std::int64_t(h.sizeField) + 8))
        return false;
    if (text.isEmpty())
        return true;
    for (const int column : {int(Form), int(Format), int(Title)})
        if (this->text(index, column).contains(text, Qt::CaseInsensitive))
            return true;
    return false;
}

std::vector<std::int64_t> EntryListModel::sortKeys(int column) const
{
    if (column == Number || column == Position)
        return {}; // entry order
    const std::size_t count = m_scan.tagPositions.size();
    std::vector<std::int64_t> keys(count, kNone);
    if (column == Length) {
        for (std::size_t i = 0; i < count; ++i)
            keys[i] = m_scan.entryLength(i);
        return keys;
    }
    // Texts are ranked once per distinct form, format or title.
    std::vector<std::uint32_t> ids;
    if (column == Form || column == Format || column == Title) {
        std::vector<std::size_t> entries;
        for (std::size_t i = 0; i < count; ++i) {
            const Head& h = head(i);
            const bool has = column == Form ? (h.flags & Riff) != 0
                : column == Format          ? (h.flags & Wave) != 0
                                            : (h.flags & Titled) != 0;
            if (!has)
                continue;
            std::uint32_t id = std::uint32_t(i);
            if (column == Form)
                std::memcpy(&id, h.form, 4);
            else if (column == Format)
                id = h.formatTag;
            ids.push_back(id), entries.push_back(i);
        }
        const auto ranks = rankByText(ids, [&](std::uint32_t id) {
            return column == Form
                ? QString::fromStdString(shownForm(std::string(reinterpret_cast<const char*>(&id), 4)))
                : column == Format ? QString::fromStdString(formatName(std::uint16_t(id)))
                                   : QString::fromStdString(shownText(m_titles.at(id)));
        });
        for (std::size_t k = 0; k < entries.size(); ++k)
            keys[entries[k]] = ranks.at(ids[k]);
        return keys;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const Head& h = head(i);
        const bool wave = h.flags & Wave;
        switch (column) {
        case Channels: keys[i] = wave ? h.channels : kNone; break;
        case Rate: keys[i] = wave ? h.sampleRate : kNone; break;
        case Bits: keys[i] = wave ? h.bits : kNone; break;
        case Duration: keys[i] = durationMs(i) < 0 ? kNone : durationMs(i); break;
        case Header: keys[i] = h.flags & Riff ? m_scan.entryLength(i) - std::int64_t(h.sizeField) - 8 : kNone; break;
        default: break;
        }
    }
    return keys;
}

void EntryListModel::arrangeRows()
{
    const std::size_t count = m_scan.tagPositions.size();
    m_rows.clear();
    m_rows.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        if ((m_filter.isEmpty() && !m_mismatchesOnly) || shown(i, m_filter, m_mismatchesOnly))
            m_rows.push_back(std::uint32_t(i));
    if (m_rows.size() < m_rows.capacity() / 2)
        m_rows.shrink_to_fit();
    orderRows();
}

void EntryListModel::orderRows()
{
    // Playing times cost a decoder's look each: learned between events, and
    // the rows sorted once all are known; entry order until then.
    setLearning(m_sortColumn == Duration && m_learned < m_scan.tagPositions.size());
    const bool learning = m_learner->isActive();
    const std::vector<std::int64_t> keys = learning ? std::vector<std::int64_t>() : sortKeys(m_sortColumn);
    const bool descending = m_sortOrder == Qt::DescendingOrder && !learning;
    // Equal keys keep entry order, whichever way the column is sorted.
    std::sort(m_rows.begin(), m_rows.end(), [&](std::uint32_t a, std::uint32_t b) {
        const std::int64_t ka = keys.empty() ? a : keys[a], kb = keys.empty() ? b : keys[b];
        if (ka != kb)
            return descending ? kb < ka : ka < kb;
        return a < b;
    });
}

void EntryListModel::setLearning(bool on)
{
    if (on == m_learner->isActive())
        return;
    on ? m_learner->start() : m_learner->stop();
    if (m_learningNotice)
        m_learningNotice(on);
}

void EntryListModel::learnSlice()
{
    QElapsedTimer slice;
    slice.start();
    while (m_learned < m_scan.tagPositions.size() && slice.elapsed() < kLearnSliceMs)
        durationMs(m_learned++);
    if (m_learned == m_scan.tagPositions.size())
        sort(m_sortColumn, m_sortOrder);
}

void EntryListModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<std::uint32_t> entries;
    for (const QModelIndex& index : before)
        entries.push_back(m_rows[std::size_t(index.row())]);
    m_sortColumn = column, m_sortOrder = order;
    orderRows();
    if (!before.isEmpty()) {
        std::vector<int> rowOfEntry(m_scan.tagPositions.size(), -1);
        for (std::size_t row = 0; row < m_rows.size(); ++row)
            rowOfEntry[m_rows[row]] = int(row);
        QModelIndexList after;
        for (std::size_t i = 0; i < entries.size(); ++i)
            after << index(rowOfEntry[entries[i]], before[int(i)].column());
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace cp
