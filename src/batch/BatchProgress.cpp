// SPDX-License-Identifier: GPL-3.0-or-later
#include "BatchProgress.h"

#include "core/NumberFormat.h"
#include "scan/WaveEntryScanner.h"

#include <QStringList>

#include <algorithm>
#include <climits>
#include <cmath>

namespace cp {

namespace {

constexpr auto kFirstDraw = std::chrono::seconds(1);
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr int kClearPatienceMs = 500; // a line left standing would run into the summary

const char* const kUnits[] = {"Byte", "KiB", "MiB", "GiB", "TiB", "PiB"};

int unitFor(double bytes)
{
    int unit = 0;
    for (; bytes >= 1024 && unit + 1 < int(std::size(kUnits)); ++unit)
        bytes /= 1024;
    return unit;
}

double inUnit(double bytes, int unit)
{
    return std::ldexp(bytes, -10 * unit);
}

// "1,2 von 3,3 GiB", both in the unit of the whole.
QString amount(std::int64_t part, std::int64_t whole, const QLocale& locale)
{
    const int unit = unitFor(double(whole));
    if (unit == 0)
        return QStringLiteral("%1 von %2 Byte").arg(formatGrouped(part, locale), formatGrouped(whole, locale));
    return QStringLiteral("%1 von %2 %3")
        .arg(formatOneDecimal(inUnit(double(part), unit), locale),
             formatOneDecimal(inUnit(double(whole), unit), locale), QString::fromLatin1(kUnits[unit]));
}

QString speed(double bytesPerSecond, const QLocale& locale)
{
    const int unit = unitFor(bytesPerSecond);
    return formatGrouped(std::llround(inUnit(bytesPerSecond, unit)), locale) + QLatin1Char(' ')
        + QString::fromLatin1(kUnits[unit]) + QStringLiteral("/s");
}

QString timeLeft(double seconds, const QLocale& locale)
{
    const auto s = std::int64_t(std::ceil(std::min(seconds, 1e12)));
    if (s < 60)
        return QStringLiteral("noch %1 s").arg(locale.toString(s));
    if (s < 3600)
        return QStringLiteral("noch %1 min %2 s").arg(locale.toString(s / 60), locale.toString(s % 60));
    return QStringLiteral("noch %1 h %2 min").arg(formatGrouped(s / 3600, locale), locale.toString(s % 3600 / 60));
}

} // namespace

BatchProgress::BatchProgress(ScanObserver& inner, std::FILE* err, const QLocale& locale)
    : m_inner(inner)
    , m_locale(locale)
    , m_start(Clock::now())
    , m_nextDraw(m_start + kFirstDraw)
    , m_terminal(err)
{
}

BatchProgress::~BatchProgress()
{
    clear();
}

QString BatchProgress::progressLine(std::int64_t length, std::int64_t searched, std::int64_t firstTag,
                                    std::int64_t entries, std::int64_t bytes, double seconds, const QLocale& locale,
                                    int room)
{
    // The bytes before the first tag only need searching, the rest writing
    // too; the entries are written roughly in order behind the search.
    const std::int64_t head = firstTag > 0 ? firstTag - 1 : searched;
    const std::int64_t done = std::min(searched, head + bytes);
    const std::int64_t toWrite = firstTag > 0 ? length - firstTag + 1 : length;
    const double rate = seconds > 0 ? double(done) / seconds : 0.0;
    // done * 100 would overflow past 82 PiB (a sparse file can claim that much)
    const auto percent = length > 0 ? std::int64_t(__int128(done) * 100 / length) : 100;
    QStringList parts {locale.toString(percent) + QStringLiteral(" %"),
                       formatGrouped(entries, locale) + QStringLiteral(" Einträge"), amount(bytes, toWrite, locale),
                       speed(rate, locale)};
    if (rate > 0)
        parts << timeLeft(double(length - done) / rate, locale);
    // A cut figure reads as another number: where the line is too long, whole
    // fields go, the speed first and the time left never.
    const QString separator = QStringLiteral(" · ");
    for (const int dropped : {3, 2, 1, 0}) {
        if (parts.join(separator).size() <= room)
            break;
        parts.removeAt(dropped);
    }
    const QString line = parts.join(separator);
    return line.size() <= room ? line : QString();
}

void BatchProgress::fileOpened(std::int64_t length)
{
    m_length = length;
    m_inner.fileOpened(length);
}

void BatchProgress::blockStarted(std::int64_t position)
{
    m_searched = position - 1;
    m_inner.blockStarted(position);
}

void BatchProgress::tagFound(std::int64_t hitCount, std::int64_t position, double runningShare)
{
    m_searched = position - 1;
    if (hitCount == 1)
        m_firstTag = position;
    m_inner.tagFound(hitCount, position, runningShare);
}

void BatchProgress::searchFinished(std::int64_t entryCount, std::int64_t firstTag, double finalShare)
{
    m_searched = m_length;
    m_inner.searchFinished(entryCount, firstTag, finalShare);
}

void BatchProgress::scanEnded(bool completed) noexcept
{
    clear();
    m_inner.scanEnded(completed);
}

bool BatchProgress::stopRequested()
{
    // Asked after every step of the scan, and every few tens of milliseconds while it waits.
    if (active()) {
        const Clock::time_point now = Clock::now();
        if (now >= m_nextDraw) {
            m_nextDraw = now + kRedrawInterval;
            draw(now);
        }
    }
    return m_inner.stopRequested();
}

void BatchProgress::draw(Clock::time_point now)
{
    int room = INT_MAX;
    if (const int columns = m_terminal.columns(); columns > 1)
        room = columns - 1; // a line that wraps cannot be redrawn in place
    QString line = progressLine(m_length, m_searched, m_firstTag, m_scanner ? m_scanner->entriesWritten() : 0,
                                m_scanner ? m_scanner->bytesWritten() : 0,
                                std::chrono::duration<double>(now - m_start).count(), m_locale, room);
    // Blanks cover what a longer line before left.
    const int width = int(line.size());
    line = QLatin1Char('\r') + line + QString(std::max(0, std::min(m_shownWidth, room) - width), QLatin1Char(' '));
    m_shownWidth = std::max(m_shownWidth, width);
    const QByteArray bytes = line.toLocal8Bit();
    m_terminal.write(bytes.constData(), std::size_t(bytes.size()), 0);
}

void BatchProgress::clear() noexcept
{
    if (m_shownWidth == 0)
        return;
    try {
        const QByteArray blank = '\r' + QByteArray(m_shownWidth, ' ') + '\r';
        m_terminal.write(blank.constData(), std::size_t(blank.size()), kClearPatienceMs);
    } catch (...) { // out of memory: the line stays, the run goes on
    }
    m_shownWidth = 0;
}

} // namespace cp
