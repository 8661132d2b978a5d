// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>

namespace cp {

// The program's number patterns, written with the locale's separators.
QString formatGrouped(std::int64_t value, const QLocale& locale); // "#,###,##0"
QString formatOneDecimal(double value, const QLocale& locale);    // "#,###,##0.0"
QString formatShare(double share, const QLocale& locale);         // "#0.0%" of share * 100

} // namespace cp
