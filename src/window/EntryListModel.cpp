// SPDX-License-Identifier: GPL-3.0-or-later
#include "EntryListModel.h"

#include "playback/SoundFile.h"
#include "scan/ScanResult.h"
#include "files/FileIo.h"
#include "scan/ScanError.h"
#include "base/NumberFormat.h"
#include "logic/HeaderWording.h"

#include <QTimer>

#include <algorithm>
#include <cstring>

namespace cp {

namespace {

const char* const kColumnNames[]
    = {"Nr.", "Position", "Größe", "Form", "Format", "Kanäle", "Rate", "Bits", "Dauer", "Kopf", "Titel"};
static_assert(std::size(kColumnNames) == EntryListModel::ColumnCount);

// Kopf says "stimmt" or "+979 Byte": words, set left, with its free space before Titel.
bool isNumberColumn(int column)
{
    return column != EntryListModel::Form && column != EntryListModel::Format && column != EntryListModel::Header
        && column != EntryListModel::Title;
}

} // namespace

EntryListModel::EntryListModel(const ScanResult& scan, const NumberStyle& style, QObject* parent)
    : QAbstractTableModel(parent)
    , m_scan(scan)
    , m_style(style)
    , m_learner(new QTimer(this))
{
    m_learner->setInterval(0);
    connect(m_learner, &QTimer::timeout, this, [this] { learnSlice(); });
    arrangeRows();
}

bool EntryListModel::learning() const
{
    return m_learner->isActive();
}

EntryListModel::~EntryListModel()
{
    setLearning(false);
}

void EntryListModel::scanChanging()
{
    beginResetModel();
}

void EntryListModel::scanChanged()
{
    m_heads.clear();
    m_titles.clear();
    m_source.reset();
    m_sourceTried = false;
    m_learned = 0;
    arrangeRows();
    endResetModel();
}

void EntryListModel::setFilter(const QString& typed, bool mismatchesOnly)
{
    const QString text = typed.trimmed(); // blanks alone filter nothing out
    if (text == m_filter && mismatchesOnly == m_mismatchesOnly)
        return;
    beginResetModel();
    m_filter = text;
    m_mismatchesOnly = mismatchesOnly;
    arrangeRows();
    endResetModel();
}

int EntryListModel::rowOf(std::int64_t entry) const
{
    const auto at = std::find(m_rows.begin(), m_rows.end(), std::uint32_t(entry - 1));
    return entry < 1 || at == m_rows.end() ? -1 : int(at - m_rows.begin());
}

int EntryListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int EntryListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

const SourceReader* EntryListModel::source() const
{
    // The scanned file as it was: one descriptor for every header. Where it
    // is gone or has another length now, the entry files tell instead.
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

const EntryListModel::Head& EntryListModel::head(std::size_t index) const
{
    if (m_heads.size() != m_scan.tagPositions.size())
        m_heads.assign(m_scan.tagPositions.size(), Head {});
    Head& h = m_heads[index];
    if (h.flags & Read)
        return h;
    h.flags = Read;
    EntryHeader header;
    try {
        if (const SourceReader* whole = source()) {
            header = readEntryHeader(*whole, m_scan.tagPositions[index] - 1, m_scan.entryLength(index));
        } else {
            const SourceReader entry(m_scan.entryFile(std::int64_t(index) + 1));
            header = readEntryHeader(entry, 0, entry.size());
        }
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
        h.formatTag = header.formatTag, h.channels = header.channels, h.bits = header.bitsPerSample;
        h.sampleRate = header.sampleRate;
    }
    if (!header.title.empty()) {
        h.flags |= Titled;
        m_titles[index] = std::move(header.title);
    }
    return h;
}

EntryHeader EntryListModel::header(std::size_t index) const
{
    const Head& h = head(index);
    EntryHeader header;
    header.riffHeader = h.flags & Riff;
    if (header.riffHeader) {
        header.form.assign(h.form, 4);
        header.claimedSize = std::uint64_t(h.sizeField) + 8;
    }
    header.format = h.flags & Wave;
    header.formatTag = h.formatTag, header.channels = h.channels, header.bitsPerSample = h.bits;
    header.sampleRate = h.sampleRate;
    if (h.flags & Titled)
        header.title = m_titles.at(index);
    return header;
}

std::int64_t EntryListModel::durationMs(std::size_t index) const
{
    const Head& h = head(index);
    if (h.durationMs != -2)
        return h.durationMs;
    // Only a wave plays; the rest would cost a decoder's attempt each.
    std::optional<std::int64_t> ms;
    if ((h.flags & Riff) && std::memcmp(h.form, "WAVE", 4) == 0) {
        try {
            if (const SourceReader* whole = source()) {
                ms = soundLengthMs(*whole, m_scan.tagPositions[index] - 1, m_scan.entryLength(index));
            } else {
                const SourceReader entry(m_scan.entryFile(std::int64_t(index) + 1));
                ms = soundLengthMs(entry, 0, entry.size());
            }
        } catch (const ScanError&) {
        }
    }
    // Where the window finds no playing time it shows none, as chunkpicker-info does.
    m_heads[index].durationMs = ms.value_or(0) > 0 ? std::int32_t(std::min<std::int64_t>(*ms, INT32_MAX)) : -1;
    return m_heads[index].durationMs;
}

QString EntryListModel::text(std::size_t index, int column) const
{
    const auto text = [](const std::string& words) { return QString::fromStdString(words); };
    switch (column) {
    case Number: return text(formatGrouped(std::int64_t(index) + 1, m_style));
    case Position: return text(formatGrouped(m_scan.tagPositions[index], m_style));
    case Length: return text(formatGrouped(m_scan.entryLength(index), m_style));
    default: break;
    }
    const Head& h = head(index);
    if (h.flags & Unreadable)
        return {};
    const bool wave = h.flags & Wave;
    switch (column) {
    case Form: return text(formWords(header(index)));
    case Format: return text(formatWords(header(index)));
    case Channels: return wave ? text(formatGrouped(h.channels, m_style)) : QString();
    case Rate: return wave ? text(formatGrouped(h.sampleRate, m_style)) : QString();
    case Bits: return wave ? text(formatGrouped(h.bits, m_style)) : QString();
    case Duration: {
        const std::int64_t ms = durationMs(index);
        return ms < 0 ? QString() : text(secondsWords(ms, true, m_style));
    }
    case Header:
        return h.flags & Riff
            ? text(sizeAgreementWords(m_scan.entryLength(index) - std::int64_t(h.sizeField) - 8, true, m_style))
            : QString();
    case Title: return h.flags & Titled ? QString::fromStdString(shownText(m_titles.at(index))) : QString();
    default: return {};
    }
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return {};
    const std::size_t entry = m_rows[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole: return text(entry, index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(isNumberColumn(index.column()) ? Qt::AlignRight : Qt::AlignLeft)
                                   | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        if (head(entry).flags & Unreadable)
            return QString();
        return QString::fromStdString(entryToolTipText(header(entry), m_scan.entryLength(entry), m_style));
    default: return {};
    }
}

QVariant EntryListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(kColumnNames[section]);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(isNumberColumn(section) ? Qt::AlignRight : Qt::AlignLeft)
                                   | Qt::AlignVCenter);
    return {};
}

} // namespace cp
