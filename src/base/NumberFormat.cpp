// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumberFormat.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace cp {

namespace {

// Digits with a separator before every third from the right.
std::string groupDigits(std::string_view digits, const std::string& separator)
{
    std::string grouped;
    grouped.reserve(digits.size() + digits.size() / 3 * separator.size());
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += separator;
        grouped += digits[i];
    }
    return grouped;
}

// value with the given decimals, rounded as printf rounds, grouped.
std::string formatFixed(double value, int decimals, const NumberStyle& style)
{
    if (!std::isfinite(value))
        return std::isnan(value) ? "NaN" : value < 0 ? "-∞" : "∞";
    // Whatever the C library's locale: its decimal point is not necessarily ".".
    char buffer[400];
    const auto printedEnd
        = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed, decimals).ptr;
    const std::string_view printed(buffer, std::size_t(printedEnd - buffer));
    const std::size_t point = printed.find('.');
    std::string text = groupDigits(printed.substr(0, point), style.groupSeparator);
    if (point != std::string_view::npos)
        text += style.decimalPoint + std::string(printed.substr(point + 1));
    // A value that rounds to zero is written without its sign.
    if (std::signbit(value) && printed.find_first_not_of("0.") != std::string_view::npos)
        text.insert(0, "-");
    return text;
}

bool parsePlain(std::string_view text, double* value)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.find_first_of("xXnN+") != std::string_view::npos)
        return false;
    double parsed = 0;
    // Whatever the C library's locale, unlike strtod.
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size())
        return false;
    *value = parsed;
    return true;
}

// text in the style's form as the C form, or empty when it is not that form.
std::string toPlainForm(std::string_view text, const NumberStyle& style)
{
    std::string plain;
    for (std::size_t i = 0; i < text.size();) {
        if (!style.groupSeparator.empty() && text.substr(i, style.groupSeparator.size()) == style.groupSeparator) {
            // Only between digits, before exactly three: "1.5" is no German number, "1.500" is.
            const std::size_t next = i + style.groupSeparator.size();
            const auto digitAt
                = [&](std::size_t at) { return at < text.size() && std::isdigit((unsigned char)text[at]); };
            if (i == 0 || !digitAt(i - 1) || !digitAt(next) || !digitAt(next + 1) || !digitAt(next + 2)
                || digitAt(next + 3))
                return {};
            i = next;
        } else if (text.substr(i, style.decimalPoint.size()) == style.decimalPoint) {
            plain += '.';
            i += style.decimalPoint.size();
        } else if (text[i] == '.' || text[i] == ',') {
            return {}; // a separator this style does not use
        } else {
            plain += text[i++];
        }
    }
    return plain;
}

} // namespace

std::string formatGrouped(std::int64_t value, const NumberStyle& style)
{
    const std::string digits = std::to_string(value);
    if (value < 0)
        return "-" + groupDigits(std::string_view(digits).substr(1), style.groupSeparator);
    return groupDigits(digits, style.groupSeparator);
}

std::string formatOneDecimal(double value, const NumberStyle& style)
{
    return formatFixed(value, 1, style);
}

std::string formatShare(double share, const NumberStyle& style)
{
    return formatFixed(share * 100.0, 1, style) + "%";
}

bool parseNumber(std::string_view text, const NumberStyle& style, double* value)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return false;
    text = text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
    return parsePlain(toPlainForm(text, style), value) || parsePlain(text, value);
}

} // namespace cp
