// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playback/PlaybackDevice.h"

namespace cp {

// The wave-audio device of the Windows multimedia system (MCI "waveaudio"):
// it opens one entry file and tells its mode, length and position in
// milliseconds. Its modes are MCI's own numbers, which the status word shows.
class MciWaveDevice final : public PlaybackDevice {
public:
    MciWaveDevice() = default;
    ~MciWaveDevice() override;
    MciWaveDevice(const MciWaveDevice&) = delete;
    MciWaveDevice& operator=(const MciWaveDevice&) = delete;

    void open(const std::string& path) override;
    void rewind() override;
    void play() override;
    void stop() override;
    void close() override;
    int mode() override;
    std::int64_t length() const override;
    std::int64_t position() override;

private:
    std::int64_t status(unsigned long item) const;

    unsigned int m_device = 0; // 0: none open
};

} // namespace cp
