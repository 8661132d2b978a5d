// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace cp {

// How the user's locale writes numbers, as far as this program writes them.
// The faces read it from their toolkit or system (the C locale's by default),
// so that everything below them formats without one. Texts are UTF-8.
struct NumberStyle {
    std::string groupSeparator = ",";
    std::string decimalPoint = ".";
    std::string minusSign = "-";
    std::string zeroDigit = "0";  // the locale's zero; its other digits follow it in Unicode
    int primaryGroup = 3;         // digits in the group next to the point
    int secondaryGroup = 3;       // digits in each group before that one (2 in India)
    int minimumGrouping = 1;      // 2: four-digit numbers stay ungrouped (Spanish, Polish)
    bool groupsByDefault = false; // a plain number is grouped (not in the C locale)
    bool german = false;          // booleans are stored as "Wahr" rather than "True"

    static NumberStyle germanStyle()
    {
        NumberStyle style;
        style.groupSeparator = ".";
        style.decimalPoint = ",";
        style.groupsByDefault = true;
        style.german = true;
        return style;
    }
};

// The program's number patterns, written in the style. Halves are rounded
// away from zero.
std::string formatGrouped(std::int64_t value, const NumberStyle& style); // "#,###,##0", even in the C locale
std::string formatNumber(std::int64_t value, const NumberStyle& style);  // as the locale writes a plain number
std::string formatOneDecimal(double value, const NumberStyle& style);    // "#,###,##0.0"
std::string formatShare(double share, const NumberStyle& style);         // "#0.0%" of share * 100

// A number as the user may have typed or stored it: in the style's form (its
// group separators where they belong, its digits and minus sign), else in
// the plain C form ("1,234.5" too); blanks around it are ignored. False when
// it is no number.
bool parseNumber(std::string_view text, const NumberStyle& style, double* value);

} // namespace cp
