// SPDX-License-Identifier: GPL-3.0-or-later
#include "Display.h"

namespace cp {

// A Windows session always has its desktop to show a window on.
DisplayKind findDisplay()
{
    return DisplayKind::Reachable;
}

} // namespace cp
