// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace cp {

// How the user's locale writes numbers, as far as this program writes them.
// The faces read it from their toolkit or system (the C locale's by default),
// so that everything below them formats without one.
struct NumberStyle {
    std::string groupSeparator = ",";
    std::string decimalPoint = ".";
    bool german = false; // booleans are stored as "Wahr" rather than "True"

    static NumberStyle germanStyle() { return {".", ",", true}; }
};

// The program's number patterns, written with the style's separators.
std::string formatGrouped(std::int64_t value, const NumberStyle& style); // "#,###,##0"
std::string formatOneDecimal(double value, const NumberStyle& style);    // "#,###,##0.0"
std::string formatShare(double share, const NumberStyle& style);         // "#0.0%" of share * 100

// A number as the user may have typed or stored it: in the style's form (its
// group separators skipped), else in the plain C form; blanks around it are
// ignored. False when it is no number.
bool parseNumber(std::string_view text, const NumberStyle& style, double* value);

} // namespace cp
