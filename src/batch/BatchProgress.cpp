// SPDX-License-Identifier: GPL-3.0-or-later
#include "BatchProgress.h"

#include "base/NumberFormat.h"
#include "scan/WaveEntryScanner.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

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
std::string amount(std::int64_t part, std::int64_t whole, const NumberStyle& style)
{
    const int unit = unitFor(double(whole));
    if (unit == 0)
        return formatGrouped(part, style) + " von " + formatGrouped(whole, style) + " Byte";
    return formatOneDecimal(inUnit(double(part), unit), style) + " von "
        + formatOneDecimal(inUnit(double(whole), unit), style) + " " + kUnits[unit];
}

std::string speed(double bytesPerSecond, const NumberStyle& style)
{
    const int unit = unitFor(bytesPerSecond);
    return formatGrouped(std::llround(inUnit(bytesPerSecond, unit)), style) + " " + kUnits[unit] + "/s";
}

std::string timeLeft(double seconds, const NumberStyle& style)
{
    const auto s = std::int64_t(std::ceil(std::min(seconds, 1e12)));
    if (s < 60)
        return "noch " + std::to_string(s) + " s";
    if (s < 3600)
        return "noch " + std::to_string(s / 60) + " min " + std::to_string(s % 60) + " s";
    return "noch " + formatGrouped(s / 3600, style) + " h " + std::to_string(s % 3600 / 60) + " min";
}

// The characters of UTF-8 text, as a terminal counts them (none is wide here).
int characters(const std::string& text)
{
    int count = 0;
    for (const char c : text)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

std::string joined(const std::vector<std::string>& parts, const std::string& separator)
{
    std::string line;
    for (const std::string& part : parts)
        line += (line.empty() ? "" : separator) + part;
    return line;
}

} // namespace

BatchProgress::BatchProgress(ScanObserver& inner, std::FILE* err, const NumberStyle& style)
    : m_inner(inner)
    , m_style(style)
    , m_start(Clock::now())
    , m_nextDraw(m_start + kFirstDraw)
    , m_terminal(err)
{
}

BatchProgress::~BatchProgress()
{
    clear();
}

std::string BatchProgress::progressLine(std::int64_t length, std::int64_t searched, std::int64_t firstTag,
                                        std::int64_t entries, std::int64_t bytes, double seconds,
                                        const NumberStyle& style, int room)
{
    // The bytes before the first tag only need searching, the rest writing
    // too; the entries are written roughly in order behind the search.
    const std::int64_t head = firstTag > 0 ? firstTag - 1 : searched;
    const std::int64_t done = std::min(searched, head + bytes);
    const std::int64_t toWrite = firstTag > 0 ? length - firstTag + 1 : length;
    const double rate = seconds > 0 ? double(done) / seconds : 0.0;
    // done * 100 would overflow past 82 PiB (a sparse file can claim that much)
    const auto percent = length > 0 ? std::int64_t(__int128(done) * 100 / length) : 100;
    std::vector<std::string> parts {std::to_string(percent) + " %", formatGrouped(entries, style) + " Einträge",
                                    amount(bytes, toWrite, style), speed(rate, style)};
    if (rate > 0)
        parts.push_back(timeLeft(double(length - done) / rate, style));
    // A cut figure reads as another number: where the line is too long, whole
    // fields go, the speed first and the time left never.
    const std::string separator = " · ";
    for (const int dropped : {3, 2, 1, 0}) {
        if (characters(joined(parts, separator)) <= room)
            break;
        parts.erase(parts.begin() + dropped);
    }
    const std::string line = joined(parts, separator);
    return characters(line) <= room ? line : std::string();
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
    std::string line = progressLine(m_length, m_searched, m_firstTag, m_scanner ? m_scanner->entriesWritten() : 0,
                                    m_scanner ? m_scanner->bytesWritten() : 0,
                                    std::chrono::duration<double>(now - m_start).count(), m_style, room);
    // Blanks cover what a longer line before left.
    const int width = characters(line);
    line = "\r" + line + std::string(std::size_t(std::max(0, std::min(m_shownWidth, room) - width)), ' ');
    m_shownWidth = std::max(m_shownWidth, width);
    m_terminal.write(line.data(), line.size(), 0);
}

void BatchProgress::clear() noexcept
{
    if (m_shownWidth == 0)
        return;
    try {
        const std::string blank = "\r" + std::string(std::size_t(m_shownWidth), ' ') + "\r";
        m_terminal.write(blank.data(), blank.size(), kClearPatienceMs);
    } catch (...) { // out of memory: the line stays, the run goes on
    }
    m_shownWidth = 0;
}

} // namespace cp
