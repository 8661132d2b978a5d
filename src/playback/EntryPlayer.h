// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "PlaybackDevice.h"

#include <cstdint>
#include <string>

namespace cp {

// What one tick of the playback display shows.
struct PlaybackTick {
    std::int64_t sliderValue = 0;
    std::string status;
    bool playEnabled = false;
    bool stopEnabled = false;
};

// Plays the current entry: once through the wave device, whose position and
// state the window shows, or over and over through the sound player.
class EntryPlayer {
public:
    EntryPlayer(PlaybackDevice& device, LoopingPlayer& looper) : m_device(device), m_looper(looper) {}

    // The entry file becomes the device's, stopped at its start.
    void load(const std::string& path) { m_device.open(path); }
    void unload() { m_device.close(); }
    std::int64_t lengthMs() const { return m_device.length(); }

    // Once from the start, or looped (any tick in the loop box) until stopped.
    void play(const std::string& path, bool loop);
    // Ends both ways of playing; the device goes back to the start.
    void stop();
    // The loop box was clicked: a loop playing ends.
    void stopLoop() { m_looper.stop(); }

    // What the display shows now, for the current entry (none: 0).
    PlaybackTick tick(std::int64_t currentEntry, bool loopTicked);

    // The device, for those that must let go of its file before deleting it.
    PlaybackDevice& device() { return m_device; }

private:
    PlaybackDevice& m_device;
    LoopingPlayer& m_looper;
};

} // namespace cp
