// SPDX-License-Identifier: GPL-3.0-or-later
#include "NaturalKey.h"

#include <algorithm>

namespace cp {

namespace {

// The blanks a filter may have around it: ASCII's and Unicode's spaces.
constexpr std::string_view kWideBlanks[]
    = {"\u0085", "\u00a0", "\u1680", "\u2000", "\u2001", "\u2002", "\u2003", "\u2004", "\u2005", "\u2006",
       "\u2007", "\u2008", "\u2009", "\u200a", "\u2028", "\u2029", "\u202f", "\u205f", "\u3000"};

// The bytes of the blank that text starts with (atEnd: ends with); 0 for none.
std::size_t blankBytes(std::string_view text, bool atEnd)
{
    if (text.empty())
        return 0;
    const char edge = atEnd ? text.back() : text.front();
    if (edge == ' ' || (edge >= '\t' && edge <= '\r'))
        return 1;
    for (const std::string_view blank : kWideBlanks)
        if (atEnd ? text.ends_with(blank) : text.starts_with(blank))
            return blank.size();
    return 0;
}

constexpr char32_t kReplacement = 0xFFFD;

struct Decoded {
    char32_t codePoint;
    std::size_t length;
};

// The code point at i; a byte that starts no well-formed sequence is one
// U+FFFD, so that no text makes the key longer than its bytes.
Decoded decodeAt(std::string_view text, std::size_t i)
{
    const auto byteAt = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byteAt(i);
    if (lead < 0x80)
        return {lead, 1};
    std::size_t length = 0;
    char32_t codePoint = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
    } else {
        return {kReplacement, 1};
    }
    if (i + length > text.size())
        return {kReplacement, 1};
    for (std::size_t k = 1; k < length; ++k) {
        if ((byteAt(i + k) & 0xC0) != 0x80)
            return {kReplacement, 1};
        codePoint = (codePoint << 6) | (byteAt(i + k) & 0x3F);
    }
    const bool overlong = (length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000);
    if (overlong || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return {kReplacement, 1};
    return {codePoint, length};
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// Latin Extended-A pairs each capital with the small letter after it: the
// capital even up to ķ and from Ŋ to ŷ, odd from Ĺ to ň and from Ź on.
char32_t smallLatinExtendedA(char32_t c)
{
    if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149)
        return c; // İ folds to two code points, the other three are small
    if (c == 0x178)
        return 0xFF; // Ÿ
    if (c == 0x17F)
        return 's'; // the long s
    const bool capitalEven = c < 0x139 || (c >= 0x14A && c < 0x178);
    return (c % 2 == 0) == capitalEven ? c + 1 : c;
}

char32_t smallLetter(char32_t c)
{
    if (c >= 'A' && c <= 'Z')
        return c + 0x20;
    if (c == 0xB5)
        return 0x3BC; // the micro sign is the Greek mu
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return c + 0x20;
    if (c >= 0x100 && c <= 0x17F)
        return smallLatinExtendedA(c);
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2)
        return c + 0x20;
    if (c == 0x3C2)
        return 0x3C3; // the final sigma
    if (c >= 0x400 && c <= 0x40F)
        return c + 0x50;
    if (c >= 0x410 && c <= 0x42F)
        return c + 0x20;
    return c;
}

// The base letter of each small letter U+00C0 to U+017F: '*' where it is
// two letters, '-' where there is none (× and ÷ stay as they are).
constexpr std::string_view kBaseLetters = "aaaaaa*ceeeeiiii"
                                          "dnooooo-ouuuuy**"
                                          "aaaaaa*ceeeeiiii"
                                          "dnooooo-ouuuuy*y"
                                          "aaaaaaccccccccdd"
                                          "ddeeeeeeeeeegggg"
                                          "gggghhhhiiiiiiii"
                                          "ii**jjkkklllllll"
                                          "lllnnnnnnnnnoooo"
                                          "oo**rrrrrrssssss"
                                          "ssttttttuuuuuuuu"
                                          "uuuuwwyyyzzzzzzs";
static_assert(kBaseLetters.size() == 0x180 - 0xC0);

std::u32string_view twoLetters(char32_t small)
{
    switch (small) {
    case 0xDF: return U"ss";
    case 0xE6: return U"ae";
    case 0xFE: return U"th";
    case 0x133: return U"ij";
    case 0x153: return U"oe";
    default: return {};
    }
}

void appendOrderFolded(std::u32string& out, char32_t c)
{
    if (c >= 0x300 && c <= 0x36F)
        return; // a combining accent
    const char32_t small = smallLetter(c);
    if (small < 0xC0 || small > 0x17F) {
        out += small;
        return;
    }
    const char base = kBaseLetters[small - 0xC0];
    if (base == '*')
        out += twoLetters(small);
    else
        out += base == '-' ? small : char32_t(base);
}

bool isDigit(char32_t c)
{
    return c >= '0' && c <= '9';
}

std::size_t digitRunEnd(const std::u32string& text, std::size_t from)
{
    while (from < text.size() && isDigit(text[from]))
        ++from;
    return from;
}

} // namespace

std::string caseFolded(std::string_view text)
{
    std::string folded;
    folded.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const Decoded at = decodeAt(text, i);
        const char32_t small = smallLetter(at.codePoint);
        if (small == at.codePoint)
            folded.append(text.substr(i, at.length));
        else
            appendUtf8(folded, small);
        i += at.length;
    }
    return folded;
}

NaturalKey::NaturalKey(std::string_view text) : m_text(text)
{
    m_folded.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const Decoded at = decodeAt(text, i);
        appendOrderFolded(m_folded, at.codePoint);
        i += at.length;
    }
}

int NaturalKey::compare(const NaturalKey& a, const NaturalKey& b)
{
    const std::u32string& x = a.m_folded;
    const std::u32string& y = b.m_folded;
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < x.size() && j < y.size()) {
        if (isDigit(x[i]) && isDigit(y[j])) {
            // By value: without leading zeros, the longer run is the larger number.
            const std::size_t xEnd = digitRunEnd(x, i);
            const std::size_t yEnd = digitRunEnd(y, j);
            while (i + 1 < xEnd && x[i] == '0')
                ++i;
            while (j + 1 < yEnd && y[j] == '0')
                ++j;
            if (xEnd - i != yEnd - j)
                return xEnd - i < yEnd - j ? -1 : 1;
            if (const int order = x.compare(i, xEnd - i, y, j, yEnd - j))
                return order < 0 ? -1 : 1;
            i = xEnd;
            j = yEnd;
            continue;
        }
        if (x[i] != y[j])
            return x[i] < y[j] ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < x.size() || j < y.size())
        return i < x.size() ? 1 : -1;
    // Alike but for case, accents or leading zeros: still a fixed order.
    return std::clamp(a.m_text.compare(b.m_text), -1, 1);
}

int naturalCompare(std::string_view a, std::string_view b)
{
    return NaturalKey::compare(NaturalKey(a), NaturalKey(b));
}

std::string_view withoutBlanks(std::string_view text)
{
    while (const std::size_t blank = blankBytes(text, false))
        text.remove_prefix(blank);
    while (const std::size_t blank = blankBytes(text, true))
        text.remove_suffix(blank);
    return text;
}

} // namespace cp
