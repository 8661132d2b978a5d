// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace cp {

// The folder in temp (the user's temporary folder) where a window keeps its
// entry files and its record of them, ending in the separator. Where temp is
// shared with other users (/tmp), a folder only the user can enter:
// "chunkpicker-<uid>", made 0700 and checked before each use; when that name
// is taken by anything else (a link, someone else's folder, one others may
// enter), a fresh folder of ours beside it. temp itself when none can be
// made, or on Windows, where the temporary folder is the user's own.
std::string privateRunFolder(const std::string& temp);

} // namespace cp
