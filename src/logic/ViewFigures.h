// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/NumberFormat.h"

#include <cstdint>
#include <string>

namespace cp {

struct MainWindowView;

// The figures the window shows of the whole file and of the current entry.

// The current entry's group while a scan runs: no entry yet.
void clearEntryFigures(MainWindowView& view);
// The whole-file group as before any file.
void clearFileFigures(MainWindowView& view);
// Entry current of count from its file at path, lengthMs long: its number,
// size, playing time and bytes per second; without a playing time the rate
// field says zeroLengthWord. Throws CommandError when the file cannot be
// measured (it was removed meanwhile); the title is shown even then.
void setEntryFigures(MainWindowView& view, std::int64_t current, std::int64_t count, const std::string& path,
                     std::int64_t lengthMs, const std::string& zeroLengthWord, const NumberStyle& style);
// The playing time shown of the entry file at path, which the player makes
// decodedMs long (0: none it plays): as playingTimeMs says of it and its
// RIFF structure; the player's where the file cannot be read.
std::int64_t entryPlayingTimeMs(const std::string& path, std::int64_t decodedMs);
// What the entry file at path is, from its first bytes, for the group's
// tooltip; empty when the file is gone.
std::string entryToolTip(const std::string& path, const NumberStyle& style);

} // namespace cp
