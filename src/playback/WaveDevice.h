// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AudioOutput.h"
#include "scan/EntryTable.h"

#include <cstdint>
#include <string>

namespace cp {

// The window's wave-audio device, driven by named commands like a media
// control: "Open" the FileName, "Set" the time format, "Prev" (to the start),
// "Play", "Stop", "Close". Failures are never reported; they show only in
// Mode and Length. Length and Position count milliseconds.
class WaveDevice final : public EntryFileHolder {
public:
    enum Mode { NotOpen = 524, Stopped = 525, Playing = 526, Recording = 527, Seeking = 528, Paused = 529, Ready = 530 };

    explicit WaveDevice(AudioOutput* output);
    ~WaveDevice() override;
    WaveDevice(const WaveDevice&) = delete;
    WaveDevice& operator=(const WaveDevice&) = delete;

    void setDeviceType(const std::string& type) { m_deviceType = type; }
    const std::string& deviceType() const { return m_deviceType; }
    void setFileName(const std::string& path) { m_fileName = path; }
    const std::string& fileName() const { return m_fileName; }
    void setTimeFormat(int format) { m_timeFormat = format; }

    // Carries out a command at once; the name is compared without regard to case.
    void command(const std::string& name);

    int mode();
    std::int64_t length() const;
    std::int64_t position();

    void closeEntryFile() override { command("Close"); }

private:
    std::int64_t framesToMs(std::int64_t frames) const;
    std::int64_t currentFrame();

    AudioOutput* m_output;
    std::string m_deviceType = "waveaudio";
    std::string m_fileName;
    int m_timeFormat = 0;

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
std::string GetStringOfNumber(int mode);

// What one tick of the playback timer shows.
struct PlaybackTick {
    std::int64_t sliderValue = 0;
    std::string status;
    bool playEnabled = false;
    bool stopEnabled = false;
};
PlaybackTick TickPlayback(WaveDevice& device, std::int64_t currentEntry, int loopValue);

} // namespace cp
