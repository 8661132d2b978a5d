// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playback/PlaybackDevice.h"

namespace cp {

// The sound player of the Windows multimedia system: PlaySound, looped and
// asynchronous, until told to stop.
class PlaySoundLooper final : public LoopingPlayer {
public:
    ~PlaySoundLooper() override { stop(); }
    void loop(const std::string& path) override;
    void stop() override;
};

} // namespace cp
