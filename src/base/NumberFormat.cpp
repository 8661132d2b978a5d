// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumberFormat.h"

#include <charconv>
#include <cmath>
#include <algorithm>
#include <vector>

namespace cp {

namespace {

// The first code point of UTF-8 text, and its length in bytes.
char32_t firstCodePoint(std::string_view text, std::size_t* length)
{
    const auto c = static_cast<unsigned char>(text.empty() ? 0 : text[0]);
    const std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    if (text.size() < n) {
        *length = 1;
        return c;
    }
    char32_t code = n == 1 ? c : c & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k)
        code = code << 6 | (static_cast<unsigned char>(text[k]) & 0x3F);
    *length = n;
    return code;
}

std::string utf8(char32_t code)
{
    std::string text;
    if (code < 0x80) {
        text += char(code);
    } else if (code < 0x800) {
        text += char(0xC0 | code >> 6);
        text += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += char(0xE0 | code >> 12);
        text += char(0x80 | (code >> 6 & 0x3F));
        text += char(0x80 | (code & 0x3F));
    } else {
        text += char(0xF0 | code >> 18);
        text += char(0x80 | (code >> 12 & 0x3F));
        text += char(0x80 | (code >> 6 & 0x3F));
        text += char(0x80 | (code & 0x3F));
    }
    return text;
}

// ASCII digits in the style's digits.
std::string localDigits(std::string_view digits, const NumberStyle& style)
{
    if (style.zeroDigit == "0")
        return std::string(digits);
    std::size_t length = 0;
    const char32_t zero = firstCodePoint(style.zeroDigit, &length);
    std::string text;
    for (const char digit : digits)
        text += utf8(zero + char32_t(digit - '0'));
    return text;
}

// ASCII integer digits, grouped as the style groups them: groups are cut
// from the right for as long as at least minimumGrouping digits stay before
// the group, as Qt writes them ("1234.567" in Spanish).
std::string groupDigits(std::string_view digits, const NumberStyle& style)
{
    std::vector<std::string_view> groups;
    auto end = int(digits.size());
    for (int size = std::max(style.primaryGroup, 1); end >= size + style.minimumGrouping;
         size = std::max(style.secondaryGroup, 1)) {
        groups.insert(groups.begin(), digits.substr(std::size_t(end - size), std::size_t(size)));
        end -= size;
    }
    groups.insert(groups.begin(), digits.substr(0, std::size_t(end)));
    std::string text;
    for (std::size_t i = 0; i < groups.size(); ++i)
        text += (i > 0 ? style.groupSeparator : std::string()) + localDigits(groups[i], style);
    return text;
}

// value with the given decimals, halves rounded away from zero (as the
// window always showed them), grouped or not.
std::string formatFixed(double value, int decimals, bool grouped, const NumberStyle& style)
{
    if (!std::isfinite(value))
        return std::isnan(value) ? "nan" : value < 0 ? style.minusSign + "inf" : "inf";
    // Far more digits than shown, whatever the C library's locale, so that
    // the digit after the last shown one tells which way to round: 5 and
    // beyond is up, an exact half included.
    char buffer[512];
    const auto printedEnd
        = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed, decimals + 40).ptr;
    std::string digits(buffer, std::size_t(printedEnd - buffer));
    const std::size_t point = digits.find('.');
    std::string kept = digits.substr(0, point) + digits.substr(point + 1, std::size_t(decimals));
    if (digits[point + 1 + std::size_t(decimals)] >= '5') {
        std::size_t i = kept.size();
        while (i > 0 && kept[i - 1] == '9')
            kept[--i] = '0';
        if (i == 0)
            kept.insert(0, "1");
        else
            ++kept[i - 1];
    }
    const std::string_view integer = std::string_view(kept).substr(0, kept.size() - std::size_t(decimals));
    std::string text = grouped ? groupDigits(integer, style) : localDigits(integer, style);
    if (decimals > 0)
        text += style.decimalPoint + localDigits(std::string_view(kept).substr(integer.size()), style);
    return (std::signbit(value) ? style.minusSign : std::string()) + text;
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

bool isSpaceLike(std::string_view separator)
{
    return separator == " " || separator == "\u00A0" || separator == "\u202F";
}

// text in the style's form as the C form, or empty when it is not that form:
// group separators only between digits and where the style puts them.
std::string toPlainForm(std::string_view text, const NumberStyle& style)
{
    std::size_t zeroLength = 0;
    const char32_t zero = firstCodePoint(style.zeroDigit, &zeroLength);
    std::string plain;
    std::vector<int> groups {0}; // digits in each group of the integer part, left to right
    bool inFraction = false, separated = false;
    for (std::size_t i = 0; i < text.size();) {
        const std::string_view rest = text.substr(i);
        std::size_t length = 0;
        const char32_t code = firstCodePoint(rest, &length);
        const bool groupSeparator = !style.groupSeparator.empty()
            && (rest.substr(0, style.groupSeparator.size()) == style.groupSeparator
                || (isSpaceLike(style.groupSeparator) && isSpaceLike(rest.substr(0, length))));
        if (code >= zero && code <= zero + 9) {
            plain += char('0' + (code - zero));
            groups.back() += !inFraction;
        } else if (code >= U'0' && code <= U'9') {
            plain += char(code);
            groups.back() += !inFraction;
        } else if (groupSeparator && !inFraction) {
            if (groups.back() == 0)
                return {};
            groups.push_back(0);
            separated = true;
            length = isSpaceLike(rest.substr(0, length)) ? length : style.groupSeparator.size();
        } else if (rest.substr(0, style.decimalPoint.size()) == style.decimalPoint && !inFraction) {
            plain += '.';
            inFraction = true;
            length = style.decimalPoint.size();
        } else if (plain.empty() && rest.substr(0, style.minusSign.size()) == style.minusSign) {
            plain += '-';
            length = style.minusSign.size();
        } else if (code == U'-' || code == U'+' || code == U'e' || code == U'E') {
            plain += char(code);
        } else {
            return {};
        }
        i += length;
    }
    if (separated) {
        int digits = 0;
        for (const int group : groups)
            digits += group;
        if (digits < style.primaryGroup + style.minimumGrouping || groups.back() != style.primaryGroup
            || groups.front() >= style.secondaryGroup + style.minimumGrouping)
            return {};
        for (std::size_t g = 1; g + 1 < groups.size(); ++g)
            if (groups[g] != style.secondaryGroup)
                return {};
    }
    return plain;
}

} // namespace

std::string formatGrouped(std::int64_t value, const NumberStyle& style)
{
    const std::string digits = std::to_string(value);
    if (value < 0)
        return style.minusSign + groupDigits(std::string_view(digits).substr(1), style);
    return groupDigits(digits, style);
}

std::string formatNumber(std::int64_t value, const NumberStyle& style)
{
    if (style.groupsByDefault)
        return formatGrouped(value, style);
    const std::string digits = std::to_string(value);
    if (value < 0)
        return style.minusSign + localDigits(std::string_view(digits).substr(1), style);
    return localDigits(digits, style);
}

std::string formatOneDecimal(double value, const NumberStyle& style)
{
    return formatFixed(value, 1, true, style);
}

std::string formatShare(double share, const NumberStyle& style)
{
    // At most 100.0: never a group to separate.
    return formatFixed(share * 100.0, 1, style.groupsByDefault, style) + "%";
}

bool parseNumber(std::string_view text, const NumberStyle& style, double* value)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return false;
    text = text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
    return parsePlain(toPlainForm(text, style), value) || parsePlain(toPlainForm(text, NumberStyle()), value);
}

} // namespace cp
