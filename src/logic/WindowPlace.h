// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/NumberFormat.h"

#include <optional>

namespace cp {

class SettingsStore;

// Where the main window stands, kept in the settings in twips as it always
// was, so that a face of any toolkit finds it where another left it.
struct WindowPlace {
    // Nothing for a coordinate never stored, or stored as no number: that
    // one is centred on the screen.
    std::optional<int> left, top;

    static WindowPlace read(const SettingsStore& settings, const NumberStyle& style);
    void write(SettingsStore& settings) const;
    // The coordinate that centres a window of windowTwips on a screen of screenTwips.
    static int centred(int screenTwips, int windowTwips) { return (screenTwips - windowTwips) / 2; }
};

} // namespace cp
