// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeaderWording.h"

#include <cstdio>

namespace cp {

std::string formWords(const EntryHeader& header)
{
    return header.riffHeader ? shownForm(header.form) : "kein RIFF-Kopf";
}

std::string formatWords(const EntryHeader& header)
{
    return header.format ? formatName(header.formatTag) : std::string();
}

std::string sizeAgreementWords(std::int64_t difference, bool shortForm, const NumberStyle& style)
{
    if (difference == 0)
        return shortForm ? "stimmt" : "stimmt überein";
    const std::string bytes = formatGrouped(difference < 0 ? -difference : difference, style) + " Byte";
    if (shortForm)
        return (difference > 0 ? "+" : "\u2212") + bytes;
    return bytes + (difference > 0 ? " mehr" : " weniger");
}

std::string verdictWords(RiffVerdict verdict)
{
    switch (verdict) {
    case RiffVerdict::Whole: return "ganz";
    case RiffVerdict::Padded: return "aufgefüllt";
    case RiffVerdict::Cut: return "abgeschnitten";
    case RiffVerdict::NoStructure: return "keine Struktur";
    }
    return {};
}

std::string entryToolTipText(const EntryHeader& header, std::int64_t size, const NumberStyle& style)
{
    std::string text = "Form: " + formWords(header);
    if (!header.riffHeader)
        return text;
    if (header.format)
        text += "\nFormat: " + formatWords(header) + ", " + formatNumber(header.channels, style)
            + (header.channels == 1 ? " Kanal, " : " Kanäle, ") + formatNumber(header.sampleRate, style) + " Hz, "
            + formatNumber(header.bitsPerSample, style) + " Bit";
    const std::int64_t difference = size - std::int64_t(header.claimedSize);
    if (difference == 0)
        text += "\nGröße: " + sizeAgreementWords(0, false, style);
    else
        text += "\nGröße: laut Kopf " + formatGrouped(std::int64_t(header.claimedSize), style) + " Byte, Eintrag "
            + formatGrouped(size, style) + " Byte (" + sizeAgreementWords(difference, false, style) + ")";
    if (!header.title.empty())
        text += "\nTitel: " + shownText(header.title);
    return text;
}

std::string secondsWords(std::int64_t milliseconds, bool shortForm, const NumberStyle& style)
{
    if (shortForm) {
        char thousandths[8];
        std::snprintf(thousandths, sizeof thousandths, "%03d", int(milliseconds % 1000));
        return formatGrouped(milliseconds / 1000, style) + style.decimalPoint + thousandths + " s";
    }
    return formatOneDecimal(double(milliseconds) / 1000.0, style) + " Sekunden";
}

} // namespace cp
