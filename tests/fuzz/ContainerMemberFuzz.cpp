// SPDX-License-Identifier: GPL-3.0-or-later
// Reads arbitrary bytes as those before a tag, and as a stored member name:
// nothing may be read outside them (the sanitizers watch), no size may pass
// the source's end, and a file name made of them is one plain name, on
// Windows too.
#include "base/PathHelpers.h"
#include "scan/ContainerMember.h"
#include "scan/OriginalFile.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::int64_t after = std::int64_t(size % 4096);
    const auto member = cp::parseMemberBefore(data, size, after);
    if (member && (member->name.size() > size || (member->size && (*member->size < 0 || *member->size > after))))
        std::abort();
    const std::string name = cp::safeMemberName(std::string(reinterpret_cast<const char*>(data), size));
    if (name.size() > cp::kMemberNameMost || name == "." || name == "..")
        std::abort();
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f || c == '/' || c == '\\')
            std::abort();
    const std::string portable = cp::portableFileName(name);
    if (!cp::isValidUtf8(portable) || portable.find_first_of("<>:\"|?*/\\") != std::string::npos
        || (!portable.empty() && (portable.back() == '.' || portable.back() == ' ')))
        std::abort();
    return 0;
}
