// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace cpbench {

using Clock = std::chrono::steady_clock;

inline double secondsSince(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Writes an archive of `entries` wave sounds with junk between them; each
// sound's size is drawn around meanEntryBytes. Returns the file size.
// Junk of up to maxJunkBytes follows each sound.
std::int64_t makeArchive(const std::string& path, int entries, std::size_t meanEntryBytes,
                         std::size_t maxJunkBytes = 4096, unsigned seed = 1);

void removeTree(const std::string& path);

} // namespace cpbench
