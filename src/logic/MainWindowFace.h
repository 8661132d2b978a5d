// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/MainWindowView.h"

#include <cstdint>

namespace cp {

// What the window's logic asks of the face that shows it: a small observer,
// implemented by the Qt window and by the Win32 window alike.
class MainWindowFace {
public:
    virtual ~MainWindowFace() = default;
    // Draws the view as it stands now.
    virtual void showView(const MainWindowView& view) = 0;
    // Handles what is pending (repaints, a close request) while long work
    // runs on the face's own thread, as a scan does.
    virtual void keepAnswering() = 0;
    // Repaints and nothing else: no click or key is taken meanwhile.
    virtual void keepRepainting() = 0;
    // The scan shown is about to be replaced or let go of, and has been: the
    // entry list looks away meanwhile.
    virtual void scanChanging() = 0;
    virtual void scanChanged() = 0;
    // The entry made current, for the entry list to mark.
    virtual void currentEntryChanged(std::int64_t entry) = 0;
    // Opens the entry list, or brings it to the front.
    virtual void showEntryList() = 0;
    // The window goes: its place, the list's layout and the playback clock
    // are the face's to keep or stop.
    virtual void windowUnloading() = 0;
    // The program ends with this status once control is back in the face's loop.
    virtual void endProgram(int status) = 0;
};

} // namespace cp
