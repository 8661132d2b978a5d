// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>

namespace cp {

// The program's number patterns, written with the locale's separators.
QString FormatGrouped(std::int64_t value, const QLocale& locale);  // "#,###,##0"
QString FormatOneDecimal(double value, const QLocale& locale);     // "#,###,##0.0"
QString FormatShare(double share, const QLocale& locale);          // "#0.0%" of share * 100

} // namespace cp
