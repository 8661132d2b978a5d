// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AudioOutput.h"
#include "SoundFile.h"

#include <array>
#include <cstdint>
#include <vector>

struct _SDL_AudioStream;

namespace cp {

// One SDL audio device mixing both voices. Files are decoded as they play,
// so a long entry is never held whole in memory; each voice converts its
// file's rate and channels to the device's through an SDL audio stream.
class SdlAudioOutput final : public AudioOutput {
public:
    SdlAudioOutput();
    ~SdlAudioOutput() override;
    SdlAudioOutput(const SdlAudioOutput&) = delete;
    SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

    bool available() const override { return m_device != 0; }
    bool play(Voice voice, const std::string& path, std::int64_t startFrame, bool loop) override;
    void stop(Voice voice) override;
    bool playing(Voice voice) override;
    std::int64_t framesPlayed(Voice voice) override;

    int deviceRate() const { return m_rate; }
    int deviceChannels() const { return m_channels; }

private:
    struct VoiceState {
        SoundFile file;
        _SDL_AudioStream* stream = nullptr;
        bool active = false;
        bool loop = false;
        bool drained = false;                // the file gave all it had and will give no more
        std::int64_t deviceFrames = 0;       // frames of the device's rate delivered so far
        std::int64_t deviceFramesTotal = -1; // what a sound that does not loop lasts there
    };

    static void callback(void* self, unsigned char* out, int length);
    void mix(float* out, int frames);
    bool fill(VoiceState& v, int bytesWanted);
    void release(VoiceState& v);
    void pauseWhenSilent();

    unsigned m_device = 0;
    int m_rate = 0;
    int m_channels = 0;
    bool m_subsystem = false;
    std::array<VoiceState, 2> m_voices;
    std::vector<float> m_decode; // callback's scratch buffers, sized once
    std::vector<float> m_voiceOut;
};

} // namespace cp
