// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scan/ScanResult.h" // EntryFileHolder

#include <cstdint>
#include <string>

namespace cp {

// The device that plays an entry once and tells its mode, length and
// position, for the slider and the status word; each platform has its own.
// Failures are never reported; they show only in mode() and length().
// Lengths and positions count milliseconds.
class PlaybackDevice : public EntryFileHolder {
public:
    // The numbers a user may have seen in the status field.
    enum Mode { NotOpen = 524, Stopped = 525, Playing = 526 };

    // Opens the wave file at path, closing the one open; a file that cannot
    // be decoded leaves the device closed.
    virtual void open(const std::string& path) = 0;
    // Back to the start, stopped.
    virtual void rewind() = 0;
    // Plays from where it stands, unless at the end or playing already (a
    // sound that ended counts as playing until mode() has seen it end).
    virtual void play() = 0;
    // Stops where it stands.
    virtual void stop() = 0;
    virtual void close() = 0;
    virtual int mode() = 0;
    virtual std::int64_t length() const = 0;
    virtual std::int64_t position() = 0;
    void closeEntryFile() override { close(); }
};

// The player that repeats a wave file until told to stop; never observed.
class LoopingPlayer {
public:
    virtual ~LoopingPlayer() = default;
    virtual void loop(const std::string& path) = 0; // fails quietly
    virtual void stop() = 0;
};

// The status word for a device mode.
std::string modeWord(int mode);

} // namespace cp
