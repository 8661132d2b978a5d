// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AudioOutput.h"
#include "scan/ScanResult.h" // EntryFileHolder

#include <cstdint>
#include <string>

namespace cp {

// The window's wave-audio device: it opens one entry file, plays it once
// from where it stands, and tells its mode, length and position. Failures are
// never reported; they show only in mode() and length(). Lengths and
// positions count milliseconds.
class WaveDevice final : public EntryFileHolder {
public:
    // The numbers a user may have seen in the status field.
    enum Mode { NotOpen = 524, Stopped = 525, Playing = 526 };

    explicit WaveDevice(AudioOutput* output);
    ~WaveDevice() override;
    WaveDevice(const WaveDevice&) = delete;
    WaveDevice& operator=(const WaveDevice&) = delete;

    // Opens the wave file at path, closing the one open; a file that cannot
    // be decoded leaves the device closed.
    void open(const std::string& path);
    // Back to the start, stopped.
    void rewind();
    // Plays from where it stands, unless at the end or playing already (a
    // sound that ended counts as playing until mode() has seen it end).
    void play();
    // Stops where it stands.
    void stop();
    void close();

    int mode();
    std::int64_t length() const;
    std::int64_t position();

    void closeEntryFile() override { close(); }

private:
    std::int64_t framesToMs(std::int64_t frames) const;
    std::int64_t currentFrame();

    AudioOutput* m_output;

    bool m_open = false;
    bool m_playing = false;
    std::string m_openFile;
    std::int64_t m_frames = 0;
    int m_rate = 0;
    std::int64_t m_startFrame = 0; // where playing began, or where it stands while stopped
};

// The sound player: repeats a wave file until told to stop; never observed.
class SoundPlayer {
public:
    explicit SoundPlayer(AudioOutput* output) : m_output(output) {}
    void loop(const std::string& path); // fails quietly
    void stop();

private:
    AudioOutput* m_output;
};

// The status word for a device mode.
std::string modeWord(int mode);

} // namespace cp
