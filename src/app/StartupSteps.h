// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "desktop/FileTypeRegistry.h"

#include <string>
#include <thread>
#include <vector>

namespace cp {

class UserDialogs;

// The steps every start takes, whichever face it shows.

// The invalid-command-line message where no box can be seen, with its cause; the exit status.
int refuseCommandLine(const std::string& cause);

// The error report of a file-type registration that failed: a box where one
// can be seen (dialogs given), else on stderr; the start goes on either way.
void reportRegistrationFailures(const std::vector<RegistrationFailure>& failures, UserDialogs* dialogs);

// The entry files of windows killed outright, removed on a thread of its own;
// where none can be started, the next start tries again.
std::jthread startLeftoverSweep(const std::string& folder);

} // namespace cp
