// SPDX-License-Identifier: GPL-3.0-or-later
#include "LocaleNumberStyle.h"

#include <climits>
#include <clocale>

namespace cp {

NumberStyle localeNumberStyle()
{
    NumberStyle style;
    const std::lconv* conventions = std::localeconv();
    if (!conventions)
        return style;
    if (conventions->decimal_point && *conventions->decimal_point)
        style.decimalPoint = conventions->decimal_point;
    if (conventions->thousands_sep && *conventions->thousands_sep)
        style.groupSeparator = conventions->thousands_sep;
    const char* grouping = conventions->grouping;
    if (grouping && grouping[0] > 0 && grouping[0] != CHAR_MAX) {
        style.primaryGroup = grouping[0];
        style.secondaryGroup = grouping[1] > 0 && grouping[1] != CHAR_MAX ? grouping[1] : grouping[0];
    }
    return style;
}

} // namespace cp
