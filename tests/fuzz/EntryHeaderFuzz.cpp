// SPDX-License-Identifier: GPL-3.0-or-later
// Parses arbitrary bytes as an entry's header: nothing may be read outside
// them (the sanitizers watch), and what is shown must be clean UTF-8 text.
#include "scan/EntryHeader.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const cp::EntryHeader header = cp::parseEntryHeader(data, size);
    if (header.riffHeader != (size >= 12 && std::memcmp(data, "RIFF", 4) == 0) || header.title.size() > size)
        std::abort();
    const std::string shown
        = cp::shownText(header.title) + cp::shownForm(header.form) + cp::formatName(header.formatTag);
    for (const char c : shown)
        if (static_cast<unsigned char>(c) < 0x20)
            std::abort();
    return 0;
}
