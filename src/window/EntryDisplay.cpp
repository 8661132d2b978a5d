// SPDX-License-Identifier: GPL-3.0-or-later
// Stepping through the entries and showing the current one.
#include "MainWindow.h"

#include "playback/WaveDevice.h"
#include "scan/EntryHeader.h"
#include "scan/FileIo.h"
#include "scan/ScanError.h"
#include "core/ErrorReport.h"
#include "core/NumberFormat.h"
#include "window/EntryListWindow.h"
#include "window/EntryWording.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QLocale>
#include <QSlider>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

namespace cp {

namespace {

// What the entry is, from its first bytes, for the tooltip of the group.
QString EntryToolTip(const std::string& path)
{
    try {
        const SourceReader entry(path);
        return EntryToolTipText(ReadEntryHeader(entry, 0, entry.size()), entry.size(), QLocale());
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

void MainWindow::showEntry(std::int64_t entry)
{
    runCommand([this, entry] { goToEntry(entry); });
}

void MainWindow::goToEntry(std::int64_t entry)
{
    if (entry < 1 || entry > m_context.table.EntryCount)
        return;
    // Next from just before the entry: the same loading, buttons and words.
    m_context.table.CurrentEntry = entry - 1;
    nextCommand();
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
    if (m_entryList)
        m_entryList->followCurrentEntry(table.CurrentEntry);

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
    m_txtEntryLength->setText(SecondsWords(lengthMs, false, locale));
    if (lengthMs != 0) {
        m_sldTime->setMaximum(int(std::min<std::int64_t>(lengthMs, std::numeric_limits<int>::max())));
        const double rate = double(size) / double(lengthMs) * 1000.0;
        m_txtQuality->setText(FormatGrouped(std::int64_t(std::llround(rate)), locale) + QStringLiteral(" Byte/Sek"));
    } else {
        m_txtQuality->setText(zeroLengthWord);
    }
}

} // namespace cp
