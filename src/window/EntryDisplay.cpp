// SPDX-License-Identifier: GPL-3.0-or-later
// Stepping through the entries and showing the current one.
#include "MainWindow.h"

#include "base/CommandLine.h"
#include "base/PathHelpers.h"
#include "playback/EntryPlayer.h"
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
QString entryToolTip(const std::string& path)
{
    try {
        const SourceReader entry(path);
        return entryToolTipText(readEntryHeader(entry, 0, entry.size()), entry.size(), QLocale());
    } catch (const ScanError&) {
        return {}; // the entry file is gone: showing it says so
    }
}

} // namespace

void MainWindow::setEntryToolTip(const QString& text)
{
    m_group[1]->setToolTip(text);
    for (QWidget* field : m_group[1]->findChildren<QWidget*>())
        field->setToolTip(text);
}

void MainWindow::changeEntries(const std::function<void()>& change)
{
    m_entryList ? m_entryList->replaceScan(change) : change();
}

void MainWindow::showScanStarting(const std::string& path)
{
    for (int i : {SaveAll, Previous, Play, Stop, Save, Next})
        setButton(i, false);
    setWindowTitle(QString::fromStdString(fileNamePart(path)) + QStringLiteral(" - ")
                   + QString::fromUtf8(kApplicationTitle));
    m_group[1]->setTitle(QStringLiteral("aktueller Eintrag: keiner"));
    setEntryToolTip({});
    m_entryLength->setText(QStringLiteral("0 Sekunden"));
    m_entrySize->setText(QStringLiteral("0 Byte"));
    m_quality->setText(QStringLiteral("mies"));
}

void MainWindow::showNoFile()
{
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    m_fileSize->setText(QStringLiteral("0 Byte"));
    m_entryCount->setText(QStringLiteral("0"));
    m_unknownData->setText(QStringLiteral("0%"));
}

void MainWindow::previousCommand()
{
    if (!m_entries.previous())
        return;
    loadCurrentEntry();
    showCurrentEntry(QStringLiteral("nicht so toll"));
}

void MainWindow::nextCommand()
{
    if (!m_entries.next())
        return;
    loadCurrentEntry();
    setButton(Previous, true);
    setButton(Save, true);
    showCurrentEntry(QStringLiteral("ganz schlecht"));
}

void MainWindow::showEntry(std::int64_t entry)
{
    runCommand([this, entry] { goToEntry(entry); });
}

void MainWindow::goToEntry(std::int64_t entry)
{
    if (!m_entries.goTo(entry))
        return;
    // The same loading, buttons and words as stepping on to it.
    loadCurrentEntry();
    setButton(Previous, true);
    setButton(Save, true);
    showCurrentEntry(QStringLiteral("ganz schlecht"));
}

void MainWindow::loadCurrentEntry()
{
    m_context.player.load(m_entries.currentFile());
    setEntryToolTip(entryToolTip(m_entries.currentFile()));
}

void MainWindow::showCurrentEntry(const QString& zeroLengthWord)
{
    m_group[1]->setTitle(QStringLiteral("aktueller Eintrag: %1/%2").arg(m_entries.current()).arg(m_entries.count()));
    if (m_entryList)
        m_entryList->followCurrentEntry(m_entries.current());

    const std::string path = m_entries.currentFile();
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error)
        throw CommandError(errorNumberForSystemError(error.value()),
                           QString::fromStdString(error.message()) + QStringLiteral(": ")
                               + QString::fromStdString(path));
    const QLocale locale;
    m_entrySize->setText(formatGrouped(std::int64_t(size), locale) + QStringLiteral(" Byte"));

    const std::int64_t lengthMs = m_context.player.lengthMs();
    m_entryLength->setText(secondsWords(lengthMs, false, locale));
    if (lengthMs != 0) {
        m_positionSlider->setMaximum(int(std::min<std::int64_t>(lengthMs, std::numeric_limits<int>::max())));
        const double rate = double(size) / double(lengthMs) * 1000.0;
        m_quality->setText(formatGrouped(std::int64_t(std::llround(rate)), locale) + QStringLiteral(" Byte/Sek"));
    } else {
        m_quality->setText(zeroLengthWord);
    }
}

} // namespace cp
