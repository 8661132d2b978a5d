// SPDX-License-Identifier: GPL-3.0-or-later
#include "Win32NumberStyle.h"

#include "base/WideText.h"

#include <windows.h>

#include <string>

namespace cp {

namespace {

std::string localeText(LCTYPE type, const std::string& fallback)
{
    wchar_t buffer[32] = {};
    const int length = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, int(std::size(buffer)));
    if (length <= 1)
        return fallback;
    return utf8Text(std::wstring(buffer, std::size_t(length - 1)));
}

} // namespace

NumberStyle windowsNumberStyle()
{
    NumberStyle style;
    style.decimalPoint = localeText(LOCALE_SDECIMAL, style.decimalPoint);
    style.groupSeparator = localeText(LOCALE_STHOUSAND, style.groupSeparator);
    style.minusSign = localeText(LOCALE_SNEGATIVESIGN, style.minusSign);
    style.groupsByDefault = true; // the system formats every number grouped
    // "3;0" groups by three throughout, "3;2;0" as India does.
    const std::string grouping = localeText(LOCALE_SGROUPING, "3;0");
    if (!grouping.empty() && grouping[0] >= '1' && grouping[0] <= '9')
        style.primaryGroup = style.secondaryGroup = grouping[0] - '0';
    if (grouping.size() >= 3 && grouping[1] == ';' && grouping[2] >= '1' && grouping[2] <= '9')
        style.secondaryGroup = grouping[2] - '0';
    style.german = localeText(LOCALE_SISO639LANGNAME, "") == "de";
    return style;
}

} // namespace cp
