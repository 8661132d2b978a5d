// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AudioOutput.h"
#include "playback/PlaybackDevice.h"

#include <cstdint>
#include <string>

namespace cp {

// The wave-audio device over an audio output: it opens one entry file, plays
// it once from where it stands, and tells its mode, length and position.
class WaveDevice final : public PlaybackDevice {
public:
    explicit WaveDevice(AudioOutput* output);
    ~WaveDevice() override;
    WaveDevice(const WaveDevice&) = delete;
    WaveDevice& operator=(const WaveDevice&) = delete;

    void open(const std::string& path) override;
    void rewind() override;
    void play() override;
    void stop() override;
    void close() override;
    int mode() override;
    std::int64_t length() const override;
    std::int64_t position() override;

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

// The sound player over an audio output: repeats a wave file until told to stop.
class SoundPlayer final : public LoopingPlayer {
public:
    explicit SoundPlayer(AudioOutput* output) : m_output(output) {}
    void loop(const std::string& path) override;
    void stop() override;

private:
    AudioOutput* m_output;
};

} // namespace cp
