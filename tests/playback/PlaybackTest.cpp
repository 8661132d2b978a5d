// The wave device and the sound player on the real SDL output, with the
// dummy driver (real time, no sound card) or the disk driver (exact samples).
#include "playback/SdlAudioOutput.h"
#include "playback/SoundFile.h"
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
    SF_INFO info {};
    info.samplerate = rate, info.channels = channels, info.format = format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
    std::vector<float> samples(std::size_t(frames * channels));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = constant ? 0.5f : float(0.5 * std::sin(0.05 * double(i / std::size_t(channels)) + double(i % 2)));
    sf_writef_float(f, samples.data(), frames);
    sf_close(f);
}

TEST(SoundFiles, LengthsOfEveryCommonFormatAndNoneForJunk)
{
    TempDir dir;
    const struct {
        int format, rate, frames;
    } sounds[] = {
        {SF_FORMAT_PCM_U8, 11025, 11025 * 2}, {SF_FORMAT_IMA_ADPCM, 22050, 22050 / 2}, {SF_FORMAT_MS_ADPCM, 8000, 8000},
        {SF_FORMAT_ALAW, 8000, 12000},        {SF_FORMAT_FLOAT, 48000, 24000},
    };
    for (const auto& s : sounds) {
        WriteSound(dir / "s.wav", SF_FORMAT_WAV | s.format, s.rate, 1, s.frames);
        const cp::SoundFile f(dir / "s.wav");
        ASSERT_TRUE(f.isOpen()) << s.format;
        // ADPCM pads its last block, so allow one block of frames.
        EXPECT_NEAR(double(f.lengthMs()), 1000.0 * s.frames / s.rate, 1000.0 * 1024 / s.rate) << s.format;
    }
    for (const Bytes& junk : {Concat({Text("RIFF"), Junk(1000)}), Text("RIFF"), Bytes {}}) {
        WriteFile(dir / "junk", junk);
        EXPECT_FALSE(cp::SoundFile(dir / "junk").isOpen());
    }
}

class DummyOutput : public ::testing::Test {
protected:
    TempDir dir;
    cp::SdlAudioOutput output;
    WaveDevice device {&output};
    std::string wave = dir / "tone.wav";
    void SetUp() override
    {
        ASSERT_TRUE(output.available());
        WriteFile(wave, MakeWave(8000, 400));
    }
    void Load(const std::string& path)
    {
        device.setFileName(path);
        device.command("Open");
        device.command("Set");
    }
};

TEST_F(DummyOutput, PlaysOnceStopsWhereItIsAndRewinds)
{
    device.command("Play"); // nothing open: nothing happens
    EXPECT_EQ(device.mode(), WaveDevice::NotOpen);
    WriteFile(dir / "long.wav", MakeWave(8000, 1500));
    Load(dir / "long.wav");
    EXPECT_EQ(device.length(), 1500);
    Load(wave);
    EXPECT_EQ(device.length(), 400);
    device.command("Play");
    ASSERT_TRUE(WaitUntil([&] { return device.position() >= 50; }));
    device.command("Stop");
    const auto at = device.position();
    EXPECT_EQ(device.mode(), WaveDevice::Stopped);
    EXPECT_LT(at, 400);
    device.command("Play"); // goes on from there to the end
    ASSERT_TRUE(WaitUntil([&] { return device.mode() == WaveDevice::Stopped; }));
    EXPECT_EQ(device.position(), 400) << "a sound that ended stands at its end";
    device.command("Prev");
    EXPECT_EQ(device.position(), 0);
}

TEST_F(DummyOutput, UndecodableEntriesClosingAndTheTimerRules)
{
    for (const Bytes& content : {Concat({Text("RIFF"), Junk(500)}), Bytes {}}) {
        WriteFile(dir / "entry", content);
        Load(dir / "entry");
        device.command("Play");
        EXPECT_EQ(device.mode(), WaveDevice::NotOpen);
        EXPECT_EQ(device.length(), 0);
    }
    Load(wave);
    EXPECT_FALSE(cp::TickPlayback(device, 0, 1).stopEnabled) << "no entry current: no Stop, whatever the box says";
    cp::PlaybackTick tick = cp::TickPlayback(device, 2, 0);
    EXPECT_TRUE(tick.playEnabled);
    EXPECT_FALSE(tick.stopEnabled);
    EXPECT_EQ(tick.status, "angehalten");
    EXPECT_TRUE(cp::TickPlayback(device, 2, 1).stopEnabled) << "a ticked box loops on Play: Stop ends it";
    EXPECT_TRUE(cp::TickPlayback(device, 2, 2).stopEnabled) << "so does a partly ticked one";
    EXPECT_EQ(cp::GetStringOfNumber(527), "527");
    device.command("Play");
    tick = cp::TickPlayback(device, 2, 0);
    EXPECT_EQ(tick.status, "wird abgespielt");
    EXPECT_TRUE(tick.stopEnabled);
    device.closeEntryFile();
    EXPECT_EQ(cp::TickPlayback(device, 2, 0).status, "nicht geöffnet");
    EXPECT_FALSE(output.playing(cp::Voice::Device));
}

TEST_F(DummyOutput, BothVoicesPlayAtOnceAndTheLoopGoesOnUntilStopped)
{
    cp::SoundPlayer player(&output);
    Load(wave);
    player.loop(wave);
    device.command("Play");
    EXPECT_EQ(device.mode(), WaveDevice::Playing);
    ASSERT_TRUE(WaitUntil([&] { return output.framesPlayed(cp::Voice::Player) > 8000 * 6 / 10; }));
    EXPECT_TRUE(output.playing(cp::Voice::Player)) << "well past one length the loop still sounds";
    player.stop();
    EXPECT_FALSE(output.playing(cp::Voice::Player));
    player.loop(dir / "missing.wav");
    EXPECT_FALSE(output.playing(cp::Voice::Player)) << "fails quietly";
}

TEST(NoOutput, LengthsStillShowAndPlayFailsQuietly)
{
    ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    TempDir dir;
    WriteFile(dir / "tone.wav", MakeWave(8000, 250));
    cp::SdlAudioOutput output;
    EXPECT_FALSE(output.available());
    WaveDevice device(&output);
    device.setFileName(dir / "tone.wav");
    device.command("Open");
    EXPECT_EQ(device.length(), 250);
    device.command("Play");
    EXPECT_EQ(device.mode(), WaveDevice::Stopped);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
}

// The disk driver writes exactly what was mixed, as fast as it can.
class DiskOutput : public ::testing::Test {
protected:
    TempDir dir;
    std::string raw = dir / "out.raw";
    void SetUp() override
    {
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIODELAY", "0", 1);
        ::setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
    }
    void TearDown() override { ::setenv("SDL_AUDIODRIVER", "dummy", 1); }

    // What sounded (the device plays 32-bit float stereo), without the
    // silence a paused device writes before and after.
    std::vector<float> Played()
    {
        const Bytes bytes = ReadFile(raw);
        std::vector<float> samples(bytes.size() / sizeof(float));
        std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
        std::size_t first = 0, last = samples.size();
        while (first < last && samples[first] == 0.0f)
            ++first;
        while (last > first && samples[last - 1] == 0.0f)
            --last;
        first -= first % 2;
        return std::vector<float>(samples.begin() + std::ptrdiff_t(first), samples.begin() + std::ptrdiff_t(last));
    }
    void PlayOnce(const std::string& wave)
    {
        cp::SdlAudioOutput output;
        ASSERT_EQ(output.deviceRate(), 44100);
        WaveDevice device(&output);
        device.setFileName(wave);
        device.command("Open");
        device.command("Play");
        ASSERT_TRUE(WaitUntil([&] { return device.mode() == WaveDevice::Stopped; }));
        EXPECT_EQ(device.position(), device.length());
    }
};

TEST_F(DiskOutput, PlaysTheEntrysOwnSamplesAndEveryResampledEntryWhole)
{
    const std::string wave = dir / "stereo.wav";
    WriteSound(wave, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, 4410);
    std::vector<float> expected(4410 * 2);
    ASSERT_EQ(cp::SoundFile(wave).read(expected.data(), 4410), 4410);
    PlayOnce(wave);
    const std::vector<float> played = Played();
    ASSERT_GE(played.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(played[i], expected[i]) << "sample " << i;

    for (const int rate : {8000, 11025, 22050, 48000}) {
        WriteSound(wave, SF_FORMAT_WAV | SF_FORMAT_PCM_16, rate, 1, rate / 2, true);
        PlayOnce(wave);
        EXPECT_NEAR(double(Played().size() / 2), 44100 / 2, 44100 * 0.004) << rate << " Hz: within 4 ms of 500 ms";
    }
}

TEST_F(DiskOutput, LoopRepeatsWithoutAGap)
{
    const std::string wave = dir / "loop.wav";
    WriteSound(wave, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, 1000);
    {
        cp::SdlAudioOutput output;
        cp::SoundPlayer player(&output);
        player.loop(wave);
        ASSERT_TRUE(WaitUntil([&] { return output.framesPlayed(cp::Voice::Player) > 3500; }));
        player.stop();
    }
    const std::vector<float> played = Played();
    ASSERT_GE(played.size(), std::size_t(3500 * 2));
    for (std::size_t i = 0; i + 2000 < 3500 * 2; ++i)
        ASSERT_EQ(played[i], played[i + 2000]) << "sample " << i;
}

} // namespace
