// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumberFormat.h"

namespace cp {

namespace {

QLocale grouping(QLocale locale, bool grouped)
{
    locale.setNumberOptions(grouped ? QLocale::DefaultNumberOptions : QLocale::OmitGroupSeparator);
    return locale;
}

} // namespace

QString formatGrouped(std::int64_t value, const QLocale& locale)
{
    return grouping(locale, true).toString(qlonglong(value));
}

QString formatOneDecimal(double value, const QLocale& locale)
{
    return grouping(locale, true).toString(value, 'f', 1);
}

QString formatShare(double share, const QLocale& locale)
{
    return grouping(locale, false).toString(share * 100.0, 'f', 1) + QLatin1Char('%');
}

} // namespace cp
