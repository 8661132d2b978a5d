// SPDX-License-Identifier: GPL-3.0-or-later
#include "JsonText.h"

#include "PathHelpers.h"

#include <cstdio>

namespace cp {

std::string jsonString(const std::string& text)
{
    const bool utf8 = isValidUtf8(text);
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else if (byte >= 0x80 && !utf8) {
            out += char(0xC0 | byte >> 6);
            out += char(0x80 | (byte & 0x3F));
        } else {
            out += c;
        }
    }
    return out + "\"";
}

} // namespace cp
