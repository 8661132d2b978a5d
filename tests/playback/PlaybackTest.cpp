// SPDX-License-Identifier: GPL-3.0-or-later
// The wave device and the sound player on the real SDL output, with the
// dummy driver (real time, no sound card) or the disk driver (exact samples).
#include "playback/SdlAudioOutput.h"
#include "playback/SoundFile.h"
#include "playback/EntryPlayer.h"
#include "playback/WaveDevice.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

using namespace cptest;
using cp::WaveDevice;

namespace {

// A sound file written by libsndfile; constant samples make every played frame audible.
void WriteSound(const std::string& path, int format, int rate, int channels, int frames, bool constant = false)
{
    SF_INFO info {0, rate, channels, format, 0, 0};
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    std::vector<float> samples(std::size_t(frames * channels));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = constant ? 0.5f : float(0.5 * std::sin(0.05 * double(i / std::size_t(channels)) + double(i % 2)));
    sf_writef_float(f, samples.data(), frames);
    sf_close(f);
}

// Tells what the device (D) and the sound player (P) asked of it; framesPlayed as the test sets it.
struct ScriptedOutput : cp::AudioOutput {
    std::string calls;
    std::int64_t played = 0;
    static char name(cp::Voice voice) { return voice == cp::Voice::Device ? 'D' : 'P'; }
    bool available() const override { return true; }
    bool play(cp::Voice voice, const std::string&, std::int64_t startFrame, bool) override
    {
        calls += std::string("play ") + name(voice) + std::to_string(startFrame) + ";";
        return true;
    }
    void stop(cp::Voice voice) override { calls += std::string("stop ") + name(voice) + ";"; }
    bool playing(cp::Voice) override { return true; }
    std::int64_t framesPlayed(cp::Voice) override { return played; }
};

TEST(WaveDevice, PlaysOnFromWhereItStoodAndTheEntrysPlayStartsOverAndItsStopEndsTheLoopToo)
{
    TempDir dir;
    WriteFile(dir / "tone.wav", MakeWave(8000, 400));
    ScriptedOutput output;
    WaveDevice device(&output);
    cp::SoundPlayer looper(&output);
    cp::EntryPlayer player(device, looper);
    device.open(dir / "tone.wav");
    device.play();
    output.played = 500;
    device.play(); // playing already: goes on
    output.played = 1000;
    device.stop();
    device.play();
    EXPECT_EQ(output.calls, "play D0;stop D;play D1000;");
    EXPECT_EQ(player.tick(1, false).status, "wird abgespielt");
    output.calls.clear();
    player.play(dir / "tone.wav", false);
    player.play(dir / "tone.wav", true);
    player.stop();
    EXPECT_EQ(output.calls, "stop D;play D0;play P0;stop D;stop P;");
    EXPECT_EQ(player.tick(1, false).sliderValue, 0) << "Stop goes back to the start";
}

// The disk driver writes exactly what was mixed, as fast as it can; what
// sounded is that without the silence a paused device writes around it.
std::vector<float> PlayOnDisk(const std::string& wave, bool loop)
{
    TempDir dir;
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIODELAY", "0", 1);
    ::setenv("SDL_DISKAUDIOFILE", (dir / "out.raw").c_str(), 1);
    {
        cp::SdlAudioOutput output;
        WaveDevice device(&output);
        cp::SoundPlayer looper(&output);
        device.open(wave);
        cp::EntryPlayer(device, looper).play(wave, loop); // from the very first frame
        EXPECT_TRUE(WaitUntil([&] {
            return loop ? output.framesPlayed(cp::Voice::Player) > 3500 : device.mode() != WaveDevice::Playing;
        }));
    }
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    const Bytes bytes = ReadFile(dir / "out.raw");
    std::vector<float> samples(bytes.size() / sizeof(float));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
    const auto sounding = [](float f) { return f != 0.0f; };
    const auto first = std::find_if(samples.begin(), samples.end(), sounding) - samples.begin();
    return std::vector<float>(samples.begin() + first - first % 2,
                              std::find_if(samples.rbegin(), samples.rend(), sounding).base());
}

TEST(DiskOutput, PlaysTheEntrysOwnSamplesEveryResampledEntryWholeAndLoopsWithoutAGap)
{
    TempDir dir;
    const std::string wave = dir / "sound.wav";
    WriteSound(wave, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, 4410);
    std::vector<float> expected(4410 * 2);
    ASSERT_EQ(cp::SoundFile(wave).read(expected.data(), 4410), 4410);
    EXPECT_EQ(PlayOnDisk(wave, false), expected);
    for (const int rate : {8000, 11025, 22050, 48000}) {
        WriteSound(wave, SF_FORMAT_WAV | SF_FORMAT_PCM_16, rate, 1, rate / 2, true);
        EXPECT_NEAR(double(PlayOnDisk(wave, false).size() / 2), 22050, 44.1 * 4) << rate << " Hz: 500 ms within 4 ms";
    }
    WriteSound(wave, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, 1000);
    const std::vector<float> played = PlayOnDisk(wave, true); // one length is 2,000 samples
    ASSERT_GE(played.size(), 7000u);
    EXPECT_TRUE(std::equal(played.begin(), played.begin() + 5000, played.begin() + 2000)) << "each as one length later";
}

} // namespace
