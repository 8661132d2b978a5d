// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace cp {

// The folder where the window keeps its entry files, ending in the
// separator: the user's temporary folder as the platform names it.
std::string userTempFolder();

} // namespace cp
