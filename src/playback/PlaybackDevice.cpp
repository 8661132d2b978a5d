// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlaybackDevice.h"

namespace cp {

std::string modeWord(int mode)
{
    switch (mode) {
    case PlaybackDevice::NotOpen: return "nicht geöffnet";
    case PlaybackDevice::Stopped: return "angehalten";
    case PlaybackDevice::Playing: return "wird abgespielt";
    default: return std::to_string(mode);
    }
}

} // namespace cp
