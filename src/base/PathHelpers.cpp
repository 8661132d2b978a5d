// SPDX-License-Identifier: GPL-3.0-or-later
#include "PathHelpers.h"

namespace cp {

std::string fileNamePart(const std::string& path)
{
    const auto pos = path.rfind(kPathSeparator);
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::string withTrailingSeparator(const std::string& path)
{
    if (!path.empty() && path.back() == kPathSeparator)
        return path;
    return path + kPathSeparator;
}

bool isValidUtf8(const std::string& text)
{
    // Strict: the shortest form only, no surrogates, nothing past U+10FFFF, so
    // that whatever passes here any other UTF-8 reader (JSON, Qt) accepts too.
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80 ? 1 : c < 0xC2 ? 0 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF5 ? 4 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        char32_t code = length == 1 ? c : c & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next >> 6) != 0x2)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        const char32_t shortest = length == 3 ? 0x800 : length == 4 ? 0x10000 : 0;
        if (code < shortest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

} // namespace cp
