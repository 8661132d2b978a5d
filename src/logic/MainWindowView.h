// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/WindowCommands.h"

#include <array>
#include <cstdint>
#include <string>

namespace cp {

// Everything the main window shows, as the window's logic decides it; a face
// draws it as it stands.
struct MainWindowView {
    std::string caption;
    // The whole file.
    std::string fileSize = "0 Byte";
    std::string entryCount = "0";
    std::string unknownData = "0%";
    // The current entry: the group's title, its figures, and its tooltip.
    std::string entryTitle = "aktueller Eintrag";
    std::string entrySize = "0 Byte";
    std::string entryLength = "0";
    std::string quality = "mies";
    std::string status = "angehalten";
    std::string toolTip;
    std::int64_t sliderMaximum = 10;
    std::int64_t sliderValue = 0;
    // While a scan runs the progress bar covers the toolbar: progress of
    // progressMaximum, both in int range.
    bool scanning = false;
    int progress = 0;
    int progressMaximum = 100;
    bool busyPointer = false;
    // The loop box: 0 unticked, 1 ticked, 2 partly ticked (a first start's
    // box, until it is clicked).
    int loop = 0;
    std::array<bool, kCommandCount> enabled {true, false, false, false, false, false, false, false, false, true};

    bool isEnabled(Command command) const { return enabled[std::size_t(command)]; }
    void enable(Command command, bool on) { enabled[std::size_t(command)] = on; }
};

} // namespace cp
