// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <string>

namespace cp {

// Where the entries of the last completed scan begin in its source, 8 bytes
// an entry: the entry table knows the files, not where they came from.
struct EntryPositions {
    std::string source;            // the scanned file's path bytes
    std::int64_t sourceLength = 0; // its length when it was scanned
    std::deque<std::int64_t> tags; // entry n's tag at [n - 1], 1-based as the scan tells it

    std::int64_t count() const { return std::int64_t(tags.size()); }
    std::int64_t length(std::size_t index) const // to the next tag or to the end of the file
    {
        return (index + 1 < tags.size() ? tags[index + 1] : sourceLength + 1) - tags[index];
    }
};

} // namespace cp
