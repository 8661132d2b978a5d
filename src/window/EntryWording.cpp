// SPDX-License-Identifier: GPL-3.0-or-later
#include "EntryWording.h"

#include "core/NumberFormat.h"

#include <QStringList>

namespace cp {

QString FormWords(const EntryHeader& header)
{
    return header.riffHeader ? QString::fromStdString(ShownForm(header.form)) : QStringLiteral("kein RIFF-Kopf");
}

QString FormatWords(const EntryHeader& header)
{
    return header.format ? QString::fromStdString(FormatName(header.formatTag)) : QString();
}

QString SizeAgreementWords(std::int64_t difference, bool shortForm, const QLocale& locale)
{
    if (difference == 0)
        return shortForm ? QStringLiteral("stimmt") : QStringLiteral("stimmt überein");
    const QString bytes = FormatGrouped(difference < 0 ? -difference : difference, locale) + QStringLiteral(" Byte");
    if (shortForm)
        return (difference > 0 ? QStringLiteral("+") : QStringLiteral("\u2212")) + bytes;
    return bytes + (difference > 0 ? QStringLiteral(" mehr") : QStringLiteral(" weniger"));
}

QString EntryToolTipText(const EntryHeader& header, std::int64_t size, const QLocale& locale)
{
    QStringList lines {QStringLiteral("Form: ") + FormWords(header)};
    if (!header.riffHeader)
        return lines.constFirst();
    if (header.format)
        lines << QStringLiteral("Format: %1, %2 %3, %4 Hz, %5 Bit")
                     .arg(FormatWords(header), locale.toString(header.channels),
                          header.channels == 1 ? QStringLiteral("Kanal") : QStringLiteral("Kanäle"),
                          locale.toString(header.sampleRate), locale.toString(header.bitsPerSample));
    const std::int64_t difference = size - std::int64_t(header.claimedSize);
    if (difference == 0)
        lines << QStringLiteral("Größe: ") + SizeAgreementWords(0, false, locale);
    else
        lines << QStringLiteral("Größe: laut Kopf %1 Byte, Eintrag %2 Byte (%3)")
                     .arg(FormatGrouped(std::int64_t(header.claimedSize), locale), FormatGrouped(size, locale),
                          SizeAgreementWords(difference, false, locale));
    if (!header.title.empty())
        lines << QStringLiteral("Titel: ") + QString::fromStdString(ShownText(header.title));
    return lines.join(QLatin1Char('\n'));
}

QString SecondsWords(std::int64_t milliseconds, bool shortForm, const QLocale& locale)
{
    return FormatOneDecimal(double(milliseconds) / 1000.0, locale) + (shortForm ? QStringLiteral(" s") : QStringLiteral(" Sekunden"));
}

} // namespace cp
