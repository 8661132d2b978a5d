// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShownPath.h"

#include "base/PathHelpers.h"

namespace cp {

std::string shownPath(const std::string& path)
{
    if (isValidUtf8(path))
        return path;
    std::string shown;
    for (std::size_t i = 0; i < path.size();) {
        const auto c = static_cast<unsigned char>(path[i]);
        std::size_t length = c < 0x80 ? 1 : c < 0xC2 ? 0 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF5 ? 4 : 0;
        if (!isValidUtf8(path.substr(i, length))) // cut short, overlong, a surrogate
            length = 0;
        if (length == 0) {
            shown += "\uFFFD";
            ++i;
        } else {
            shown.append(path, i, length);
            i += length;
        }
    }
    return shown;
}

} // namespace cp
