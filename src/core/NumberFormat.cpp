// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumberFormat.h"

namespace cp {

namespace {

// Thousands grouped even where the locale (C) leaves them out by default.
QLocale grouped(QLocale locale)
{
    locale.setNumberOptions(QLocale::DefaultNumberOptions);
    return locale;
}

} // namespace

QString formatGrouped(std::int64_t value, const QLocale& locale)
{
    return grouped(locale).toString(qlonglong(value));
}

QString formatOneDecimal(double value, const QLocale& locale)
{
    return grouped(locale).toString(value, 'f', 1);
}

QString formatShare(double share, const QLocale& locale)
{
    // At most 100.0: never a group to separate.
    return locale.toString(share * 100.0, 'f', 1) + QLatin1Char('%');
}

} // namespace cp
