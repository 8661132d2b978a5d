// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileIdentity.h"

namespace cp {

std::uint64_t FileIdentity::key() const
{
    std::uint64_t k = inode * 0x9E3779B97F4A7C15ull;
    k ^= std::uint64_t(modifiedNs) + 0x7F4A7C159E3779B9ull + (k << 6) + (k >> 2);
    return k != 0 ? k : 1;
}

} // namespace cp
