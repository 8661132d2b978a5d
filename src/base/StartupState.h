// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace cp {

// What the command line decided, fixed before the window opens.
struct StartupState {
    std::string sourceFile;   // file-name part as stored on disk; empty when none was named
    std::string targetFolder; // as typed, or the temporary folder
    bool targetGiven = false; // a target folder was named and exists: this is a batch run
};

} // namespace cp
