// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumberFormat.h"

namespace cp {

namespace {

QLocale Grouping(QLocale locale, bool grouped)
{
    locale.setNumberOptions(grouped ? QLocale::DefaultNumberOptions : QLocale::OmitGroupSeparator);
    return locale;
}

} // namespace

QString FormatGrouped(std::int64_t value, const QLocale& locale)
{
    return Grouping(locale, true).toString(qlonglong(value));
}

QString FormatOneDecimal(double value, const QLocale& locale)
{
    return Grouping(locale, true).toString(value, 'f', 1);
}

QString FormatShare(double share, const QLocale& locale)
{
    return Grouping(locale, false).toString(share * 100.0, 'f', 1) + QLatin1Char('%');
}

} // namespace cp
