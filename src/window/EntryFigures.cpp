// SPDX-License-Identifier: GPL-3.0-or-later
#include "EntryFigures.h"

#include "core/ErrorReport.h"
#include "core/NumberFormat.h"
#include "scan/EntryHeader.h"
#include "files/FileIo.h"
#include "scan/ScanError.h"
#include "window/EntryWording.h"
#include "window/MainWindowForm.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QLocale>
#include <QSlider>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

namespace cp {

void EntryFigures::showScanStarting()
{
    m_form.group[1]->setTitle(QStringLiteral("aktueller Eintrag: keiner"));
    setToolTip({});
    m_form.entryLength->setText(QStringLiteral("0 Sekunden"));
    m_form.entrySize->setText(QStringLiteral("0 Byte"));
    m_form.quality->setText(QStringLiteral("mies"));
}

void EntryFigures::showNoFile()
{
    m_form.fileSize->setText(QStringLiteral("0 Byte"));
    m_form.entryCount->setText(QStringLiteral("0"));
    m_form.unknownData->setText(QStringLiteral("0%"));
}

void EntryFigures::showEntry(std::int64_t current, std::int64_t count, const std::string& path, std::int64_t lengthMs,
                             const QString& zeroLengthWord)
{
    m_form.group[1]->setTitle(QStringLiteral("aktueller Eintrag: %1/%2").arg(current).arg(count));
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error)
        throw CommandError(errorNumberForSystemError(error.value()),
                           QString::fromStdString(error.message()) + QStringLiteral(": ")
                               + QString::fromStdString(path));
    const QLocale locale;
    m_form.entrySize->setText(formatGrouped(std::int64_t(size), locale) + QStringLiteral(" Byte"));
    m_form.entryLength->setText(secondsWords(lengthMs, false, locale));
    if (lengthMs != 0) {
        m_form.positionSlider->setMaximum(int(std::min<std::int64_t>(lengthMs, std::numeric_limits<int>::max())));
        const double rate = double(size) / double(lengthMs) * 1000.0;
        m_form.quality->setText(formatGrouped(std::int64_t(std::llround(rate)), locale) + QStringLiteral(" Byte/Sek"));
    } else {
        m_form.quality->setText(zeroLengthWord);
    }
}

void EntryFigures::describe(const std::string& path)
{
    try {
        const SourceReader entry(path);
        setToolTip(entryToolTipText(readEntryHeader(entry, 0, entry.size()), entry.size(), QLocale()));
    } catch (const ScanError&) {
        setToolTip({}); // the entry file is gone: showing it says so
    }
}

void EntryFigures::setToolTip(const QString& text)
{
    m_form.group[1]->setToolTip(text);
    for (QWidget* field : m_form.group[1]->findChildren<QWidget*>())
        field->setToolTip(text);
}

} // namespace cp
