// Stepping through the entries and showing the current one.
#include "MainWindow.h"

#include "playback/WaveDevice.h"
#include "startup/ErrorReport.h"
#include "startup/NumberFormat.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QSlider>

#include <cmath>
#include <filesystem>
#include <limits>

namespace cp {

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
