// SPDX-License-Identifier: GPL-3.0-or-later
#include "EntryWording.h"

#include "core/NumberFormat.h"

#include <QStringList>

namespace cp {

QString formWords(const EntryHeader& header)
{
    return header.riffHeader ? QString::fromStdString(shownForm(header.form)) : QStringLiteral("kein RIFF-Kopf");
}

QString formatWords(const EntryHeader& header)
{
    return header.format ? QString::fromStdString(formatName(header.formatTag)) : QString();
}

QString sizeAgreementWords(std::int64_t difference, bool shortForm, const QLocale& locale)
{
    if (difference == 0)
        return shortForm ? QStringLiteral("stimmt") : QStringLiteral("stimmt überein");
    const QString bytes = formatGrouped(difference < 0 ? -difference : difference, locale) + QStringLiteral(" Byte");
    if (shortForm)
        return (difference > 0 ? QStringLiteral("+") : QStringLiteral("\u2212")) + bytes;
    return bytes + (difference > 0 ? QStringLiteral(" mehr") : QStringLiteral(" weniger"));
}

QString entryToolTipText(const EntryHeader& header, std::int64_t size, const QLocale& locale)
{
    QStringList lines {QStringLiteral("Form: ") + formWords(header)};
    if (!header.riffHeader)
        return lines.constFirst();
    if (header.format)
        lines << QStringLiteral("Format: %1, %2 %3, %4 Hz, %5 Bit")
                     .arg(formatWords(header), locale.toString(header.channels),
                          header.channels == 1 ? QStringLiteral("Kanal") : QStringLiteral("Kanäle"),
                          locale.toString(header.sampleRate), locale.toString(header.bitsPerSample));
    const std::int64_t difference = size - std::int64_t(header.claimedSize);
    if (difference == 0)
        lines << QStringLiteral("Größe: ") + sizeAgreementWords(0, false, locale);
    else
        lines << QStringLiteral("Größe: laut Kopf %1 Byte, Eintrag %2 Byte (%3)")
                     .arg(formatGrouped(std::int64_t(header.claimedSize), locale), formatGrouped(size, locale),
                          sizeAgreementWords(difference, false, locale));
    if (!header.title.empty())
        lines << QStringLiteral("Titel: ") + QString::fromStdString(shownText(header.title));
    return lines.join(QLatin1Char('\n'));
}

QString secondsWords(std::int64_t milliseconds, bool shortForm, const QLocale& locale)
{
    if (shortForm)
        return formatGrouped(milliseconds / 1000, locale) + locale.decimalPoint()
            + QStringLiteral("%1 s").arg(milliseconds % 1000, 3, 10, QLatin1Char('0'));
    return formatOneDecimal(double(milliseconds) / 1000.0, locale) + QStringLiteral(" Sekunden");
}

} // namespace cp
