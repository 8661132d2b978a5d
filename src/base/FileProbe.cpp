// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileProbe.h"

namespace cp {

bool matchesWildcard(const std::string& pattern, const std::string& name)
{
    // Greedy matching with one remembered star: linear in practice, and never
    // worse than pattern length times name length.
    std::size_t p = 0, n = 0;
    std::size_t starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace cp
