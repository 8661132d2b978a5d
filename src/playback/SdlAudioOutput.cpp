// SPDX-License-Identifier: GPL-3.0-or-later
#include "SdlAudioOutput.h"

#include <SDL.h>

#include <algorithm>

namespace cp {

namespace {
constexpr int kDecodeFrames = 1024;
constexpr int kMaxDeviceChannels = 8;
constexpr Uint16 kDeviceFrames = 1024;
constexpr int kPaddingPieces = 2; // of kDecodeFrames: more than the resampler holds back

class DeviceLock {
public:
    explicit DeviceLock(SDL_AudioDeviceID device) : m_device(device) { SDL_LockAudioDevice(m_device); }
    ~DeviceLock() { SDL_UnlockAudioDevice(m_device); }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

private:
    SDL_AudioDeviceID m_device;
};
} // namespace

SdlAudioOutput::SdlAudioOutput()
{
    // The window owns the process's signals; SDL must not take SIGINT.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return;
    m_subsystem = true;

    SDL_AudioSpec want {};
    want.freq = 44100;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = kDeviceFrames;
    want.callback = &SdlAudioOutput::callback;
    want.userdata = this;
    SDL_AudioSpec have {};
    m_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have,
                                   SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (m_device == 0)
        return;
    if (have.channels > kMaxDeviceChannels) {
        SDL_CloseAudioDevice(m_device);
        m_device = 0;
        return;
    }
    m_rate = have.freq;
    m_channels = have.channels;
    m_decode.resize(std::size_t(kDecodeFrames) * 64); // room for the most channels a file may have
    m_voiceOut.resize(std::size_t(have.samples) * std::size_t(have.channels) * 4);
}

SdlAudioOutput::~SdlAudioOutput()
{
    if (m_device != 0) {
        SDL_CloseAudioDevice(m_device); // waits for the callback to finish
        for (auto& v : m_voices)
            release(v);
    }
    if (m_subsystem)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioOutput::release(VoiceState& v)
{
    if (v.stream)
        SDL_FreeAudioStream(v.stream);
    v.stream = nullptr;
    v.file = SoundFile();
    v.active = false;
    v.drained = false;
    v.deviceFrames = 0;
}

bool SdlAudioOutput::play(Voice voice, const std::string& path, std::int64_t startFrame, bool loop)
{
    if (m_device == 0)
        return false;
    SoundFile file(path);
    if (!file.isOpen() || file.frames() == 0 || startFrame >= file.frames() || !file.seek(startFrame))
        return false;
    SDL_AudioStream* stream = SDL_NewAudioStream(AUDIO_F32SYS, Uint8(file.channels()), file.sampleRate(), AUDIO_F32SYS,
                                                 Uint8(m_channels), m_rate);
    if (!stream)
        return false;
    {
        DeviceLock lock(m_device);
        VoiceState& v = m_voices[std::size_t(voice)];
        release(v);
        v.file = std::move(file);
        v.stream = stream;
        v.loop = loop;
        v.active = true;
        // What the rest of the file lasts at the device's rate; the padding
        // that pushes the resampler's tail out must not add to it.
        v.deviceFramesTotal = loop ? -1 : (v.file.frames() - startFrame) * m_rate / v.file.sampleRate();
    }
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

void SdlAudioOutput::stop(Voice voice)
{
    if (m_device == 0)
        return;
    {
        DeviceLock lock(m_device);
        release(m_voices[std::size_t(voice)]);
    }
    pauseWhenSilent();
}

bool SdlAudioOutput::playing(Voice voice)
{
    if (m_device == 0)
        return false;
    bool active;
    {
        DeviceLock lock(m_device);
        active = m_voices[std::size_t(voice)].active;
    }
    pauseWhenSilent();
    return active;
}

std::int64_t SdlAudioOutput::framesPlayed(Voice voice)
{
    if (m_device == 0)
        return 0;
    DeviceLock lock(m_device);
    const VoiceState& v = m_voices[std::size_t(voice)];
    if (!v.file.isOpen() || m_rate <= 0)
        return 0;
    return v.deviceFrames * v.file.sampleRate() / m_rate;
}

void SdlAudioOutput::pauseWhenSilent()
{
    bool any = false;
    {
        DeviceLock lock(m_device);
        for (const auto& v : m_voices)
            any = any || v.active;
    }
    if (!any)
        SDL_PauseAudioDevice(m_device, 1);
}

void SdlAudioOutput::callback(void* self, unsigned char* out, int length)
{
    auto* output = static_cast<SdlAudioOutput*>(self);
    std::fill_n(out, length, 0);
    output->mix(reinterpret_cast<float*>(out), length / int(sizeof(float)) / output->m_channels);
}

// Feeds the voice's stream until it holds bytesWanted or the file is done.
bool SdlAudioOutput::fill(VoiceState& v, int bytesWanted)
{
    const int channels = v.file.channels();
    // Small pieces: SDL 2.26's resampling stream drops frames from one large put.
    const std::int64_t chunk = std::min<std::int64_t>(kDecodeFrames, std::int64_t(m_decode.size()) / channels);
    while (!v.drained && SDL_AudioStreamAvailable(v.stream) < bytesWanted) {
        const std::int64_t got = v.file.read(m_decode.data(), chunk);
        if (got > 0) {
            if (SDL_AudioStreamPut(v.stream, m_decode.data(), int(got * channels * int(sizeof(float)))) != 0)
                return false;
        } else if (v.loop && v.file.frames() > 0 && v.file.seek(0)) {
            continue; // back to the start with no gap
        } else {
            // SDL 2.26 keeps the resampler's last few hundred frames when only
            // flushed: push them out with silence, cut off again in mix().
            std::fill_n(m_decode.begin(), std::size_t(chunk) * std::size_t(channels), 0.0f);
            for (int i = 0; i < kPaddingPieces; ++i)
                SDL_AudioStreamPut(v.stream, m_decode.data(), int(chunk * channels * int(sizeof(float))));
            SDL_AudioStreamFlush(v.stream);
            v.drained = true;
        }
    }
    return true;
}

void SdlAudioOutput::mix(float* out, int frames)
{
    const int frameBytes = m_channels * int(sizeof(float));
    const int bytes = frames * frameBytes;
    if (m_voiceOut.size() < std::size_t(frames * m_channels))
        return; // the device asked for more than it said it would; play silence
    for (auto& v : m_voices) {
        if (!v.active)
            continue;
        if (!fill(v, bytes)) {
            release(v);
            continue;
        }
        int wanted = bytes;
        if (v.deviceFramesTotal >= 0)
            wanted = int(std::min<std::int64_t>(bytes, (v.deviceFramesTotal - v.deviceFrames) * frameBytes));
        const int got = wanted > 0 ? SDL_AudioStreamGet(v.stream, m_voiceOut.data(), wanted) : 0;
        const int samples = got > 0 ? got / int(sizeof(float)) : 0;
        for (int i = 0; i < samples; ++i)
            out[i] = std::clamp(out[i] + m_voiceOut[std::size_t(i)], -1.0f, 1.0f);
        v.deviceFrames += samples / m_channels;
        if (wanted <= 0 || (v.drained && SDL_AudioStreamAvailable(v.stream) == 0)) {
            v.active = false; // played to its end; the file stays so the position reads the end
        }
    }
}

} // namespace cp
