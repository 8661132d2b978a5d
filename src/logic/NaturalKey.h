// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace cp {

// A UTF-8 text in one case, for finding typed text in it: capitals of
// ASCII, Latin-1, Latin Extended-A (İ aside), basic Greek and Cyrillic
// become small letters, µ the Greek μ, ſ an s; accents stay, so "glock"
// does not find "Glöckchen". Bytes that are no UTF-8 pass unchanged.
std::string caseFolded(std::string_view text);

// The text without the blanks around it: ASCII's and Unicode's spaces.
std::string_view withoutBlanks(std::string_view text);

// A text as the entry list orders it, so that the order hangs on no locale:
// digit runs by their value ("Wasser 9" before "Wasser 10"), letters in one
// case (as caseFolded) and, through Latin-1 and Latin Extended-A, without
// their accents and strokes: ä as a, é as e, Ø as o, Ł as l, ß as ss, Æ as
// ae, Œ as oe, Ĳ as ij, Þ as th, Ð and Đ as d. Other letters compare by
// their code point. Texts alike but for case, accents or leading zeros
// still have a fixed order, by their bytes.
class NaturalKey {
public:
    explicit NaturalKey(std::string_view text);

    // Below zero when a comes first, above when b does; 0 only for the same text.
    static int compare(const NaturalKey& a, const NaturalKey& b);

private:
    std::u32string m_folded;
    std::string m_text;
};

// NaturalKey::compare of the two texts.
int naturalCompare(std::string_view a, std::string_view b);

} // namespace cp
