// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace cp {

// Which file on disk a path named when this run created it; a file that was
// replaced under the same name since is another file. File systems hand a
// freed inode number to the next new file, so the time of the last write
// counts as well.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t modifiedNs = 0;
    // Inode and time in one nonzero word, as the entry list keeps it.
    std::uint64_t key() const;
};

} // namespace cp
