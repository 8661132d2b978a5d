// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How the files a run may leave behind are named, on every platform: a
// temporary being written, and a window's record of its entry files. A sweep
// takes only files of these forms.

#include <cstdint>
#include <string>

namespace cp::leftovers {

inline constexpr const char* kTempPrefix = ".chunkpicker-";
inline constexpr const char* kTempSuffix = ".tmp";
inline constexpr const char* kJournalPrefix = ".chunkpicker-window-";
inline constexpr const char* kJournalSuffix = ".list";
// A record holds its source's name (under 4096 bytes, after its length) and
// at most a million entries of 24 bytes: more than any archive has shown, and
// still a second or so of clean-up at the next start. A window records no
// more, so a larger record is none of ours and is not read at all.
inline constexpr std::int64_t kJournalNameLimit = 4096;
inline constexpr std::int64_t kJournalMaxBytes = 8 + kJournalNameLimit + 24 * (std::int64_t(1) << 20);

inline bool hasForm(const std::string& name, const std::string& prefix, const std::string& suffix)
{
    return name.size() > prefix.size() + suffix.size() && name.compare(0, prefix.size(), prefix) == 0
        && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace cp::leftovers
