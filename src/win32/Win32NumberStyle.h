// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/NumberFormat.h"

namespace cp {

// How the user's locale writes numbers, as the system's regional settings say.
NumberStyle windowsNumberStyle();

} // namespace cp
