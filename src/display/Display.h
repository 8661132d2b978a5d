// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace cp {

enum class DisplayKind {
    None,        // nothing to show a window on: a batch runs headless
    Reachable,   // a display answers, or a Qt platform was chosen explicitly
    Unreachable, // a display is named but does not answer
};

// Where a window could be shown. Asked before Qt starts, since Qt ends the
// process when the display it was told to use does not answer.
DisplayKind findDisplay();

} // namespace cp
