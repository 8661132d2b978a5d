// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How the files a run may leave behind are named, on every platform: a
// temporary being written, and a window's record of its entry files. A sweep
// takes only files of these forms.

#include <string>

namespace cp::leftovers {

inline constexpr const char* kTempPrefix = ".chunkpicker-";
inline constexpr const char* kTempSuffix = ".tmp";
inline constexpr const char* kJournalPrefix = ".chunkpicker-window-";
inline constexpr const char* kJournalSuffix = ".list";

inline bool hasForm(const std::string& name, const std::string& prefix, const std::string& suffix)
{
    return name.size() > prefix.size() + suffix.size() && name.compare(0, prefix.size(), prefix) == 0
        && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace cp::leftovers
