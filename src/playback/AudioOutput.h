// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace cp {

// The two sounds that can play at once: the window's wave device (once, with
// position) and the sound player (repeating, never observed).
enum class Voice { Device = 0, Player = 1 };

// One audio output device with two voices, each playing a sound file.
// The platform part behind playback: SDL here.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    // Whether sound can be heard at all; without an output every play fails.
    virtual bool available() const = 0;
    // Starts voice on the file at path from startFrame (of the file's own
    // sample rate); with loop the file repeats from its start without a gap.
    // Replaces whatever the voice played. False when nothing could be started.
    virtual bool play(Voice voice, const std::string& path, std::int64_t startFrame, bool loop) = 0;
    virtual void stop(Voice voice) = 0;
    // Still sounding; false once a sound that does not loop has played to its end.
    virtual bool playing(Voice voice) = 0;
    // Frames of the file played since play(), counted in the file's sample rate.
    virtual std::int64_t framesPlayed(Voice voice) = 0;
};

} // namespace cp
