// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/StartupState.h"
#include "files/RunJournal.h"
#include "scan/ScanResult.h"

#include <optional>
#include <thread>

namespace cp {

// Where the entry files go. A batch run writes them into the target folder
// as given. A window keeps them (the user's archive) and its record of them
// in a folder of its user's own in the temporary folder, which other users
// share: out of their sight and beyond their reach. Those of windows killed
// outright go at the next start, beside the window, which shows at once:
// they may be a hundred thousand files on a slow disk; a close stops that
// between two files, and the next start goes on with the rest.
class WindowEntryFiles {
public:
    // For a window, state's target folder becomes the window's own folder.
    explicit WindowEntryFiles(StartupState& state);
    EntryFolder& folder() { return m_folder; }

private:
    std::optional<RunJournal> m_journal;
    std::jthread m_leftovers; // stopped and joined before the journal goes
    EntryFolder m_folder;
};

} // namespace cp
