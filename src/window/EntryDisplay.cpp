// Stepping through the entries and showing the current one.
#include "MainWindow.h"

#include "playback/WaveDevice.h"
#include "scan/EntryHeader.h"
#include "scan/FileIo.h"
#include "scan/ScanError.h"
#include "startup/ErrorReport.h"
#include "startup/NumberFormat.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QLocale>
#include <QSlider>

#include <algorithm>
#include <cmath>
#include <vector>
#include <filesystem>
#include <limits>

namespace cp {

namespace {

// What the entry is, from its first bytes, for the tooltip of the group.
QString EntryToolTip(const std::string& path)
{
    try {
        const SourceReader entry(path);
        std::vector<unsigned char> head(std::size_t(std::min<std::int64_t>(entry.size(), kEntryHeaderBytes)));
        const EntryHeader header = ParseEntryHeader(head.data(), entry.readAt(head.data(), head.size(), 0));
        if (!header.riffHeader)
            return QStringLiteral("Form: kein RIFF-Kopf");
        const QLocale locale;
        QStringList lines {QStringLiteral("Form: ") + QString::fromStdString(ShownForm(header.form))};
        if (header.format)
            lines << QStringLiteral("Format: %1, %2 %3, %4 Hz, %5 Bit")
                         .arg(QString::fromStdString(FormatName(header.formatTag)), locale.toString(header.channels),
                              header.channels == 1 ? QStringLiteral("Kanal") : QStringLiteral("Kanäle"),
                              locale.toString(header.sampleRate), locale.toString(header.bitsPerSample));
        const std::int64_t difference = entry.size() - std::int64_t(header.claimedSize);
        if (difference == 0)
            lines << QStringLiteral("Größe: stimmt überein");
        else
            lines << QStringLiteral("Größe: laut Kopf %1 Byte, Eintrag %2 Byte (%3 Byte %4)")
                         .arg(FormatGrouped(std::int64_t(header.claimedSize), locale), FormatGrouped(entry.size(), locale),
                              FormatGrouped(difference < 0 ? -difference : difference, locale),
                              difference > 0 ? QStringLiteral("mehr") : QStringLiteral("weniger"));
        if (!header.title.empty())
            lines << QStringLiteral("Titel: ") + QString::fromStdString(ShownText(header.title));
        return lines.join(QLatin1Char('\n'));
    } catch (const ScanError&) {
        return {}; // the entry file is gone: showing it says so
    }
}

} // namespace

void MainWindow::setEntryToolTip(const QString& text)
{
    m_frame[1]->setToolTip(text);
    for (QWidget* field : m_frame[1]->findChildren<QWidget*>())
        field->setToolTip(text);
}

void MainWindow::previousCommand()
{
    EntryTable& table = m_context.table;
    if (table.EntryCount < 1)
        return;
    m_context.device.command("Close");
    if (--table.CurrentEntry < 1)
        table.CurrentEntry = table.EntryCount;
    LoadCurrentEntry();
    ShowCurrentEntry(QStringLiteral("nicht so toll"));
}

void MainWindow::nextCommand()
{
    EntryTable& table = m_context.table;
    if (table.EntryCount < 1)
        return;
    m_context.device.command("Close");
    if (++table.CurrentEntry > table.EntryCount)
        table.CurrentEntry = 1;
    LoadCurrentEntry();
    setButton(Previous, true);
    setButton(Save, true);
    ShowCurrentEntry(QStringLiteral("ganz schlecht"));
}

void MainWindow::LoadCurrentEntry()
{
    WaveDevice& device = m_context.device;
    device.setDeviceType("WaveAudio");
    device.setFileName(m_context.table.entryFile(m_context.table.CurrentEntry));
    device.command("Open");
    device.command("Set");
    setEntryToolTip(EntryToolTip(m_context.table.entryFile(m_context.table.CurrentEntry)));
}

void MainWindow::ShowCurrentEntry(const QString& zeroLengthWord)
{
    const EntryTable& table = m_context.table;
    m_frame[1]->setTitle(QStringLiteral("aktueller Eintrag: %1/%2").arg(table.CurrentEntry).arg(table.EntryCount));

    const std::string path = table.entryFile(table.CurrentEntry);
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error)
        throw CommandError(ErrorNumberForSystemError(error.value()),
                           QString::fromStdString(error.message()) + QStringLiteral(": ")
                               + QString::fromStdString(path));
    const QLocale locale;
    m_txtEntrysize->setText(FormatGrouped(std::int64_t(size), locale) + QStringLiteral(" Byte"));

    const std::int64_t lengthMs = m_context.device.length();
    m_txtEntryLength->setText(FormatOneDecimal(double(lengthMs) / 1000.0, locale) + QStringLiteral(" Sekunden"));
    if (lengthMs != 0) {
        m_sldTime->setMaximum(int(std::min<std::int64_t>(lengthMs, std::numeric_limits<int>::max())));
        const double rate = double(size) / double(lengthMs) * 1000.0;
        m_txtQuality->setText(FormatGrouped(std::int64_t(std::llround(rate)), locale) + QStringLiteral(" Byte/Sek"));
    } else {
        m_txtQuality->setText(zeroLengthWord);
    }
}

} // namespace cp
