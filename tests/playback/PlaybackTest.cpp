// The wave device and the sound player on the real SDL output, with the
// dummy driver (real time, no sound card) or the disk driver (exact samples).
#include "playback/SdlAudioOutput.h"
#include "playback/SoundFile.h"
#include "playback/WaveDevice.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>

using namespace cptest;
using cp::WaveDevice;

namespace {

// A sound file written by libsndfile in the given format.
void WriteSound(const std::string& path, int format, int rate, int channels, int frames)
{
    SF_INFO info {};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
    std::vector<float> samples(std::size_t(frames * channels));
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            samples[std::size_t(i * channels + c)] = float(0.5 * std::sin(0.05 * i + c));
    sf_writef_float(f, samples.data(), frames);
    sf_close(f);
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

TEST(SoundFiles, LengthsOfEveryCommonFormatAndNoneForJunk)
{
    TempDir dir;
    const struct {
        const char* name;
        int format;
        int rate;
        int frames;
    } sounds[] = {
        {"pcm8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 11025, 11025 * 2},
        {"adpcm.wav", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 22050, 22050 / 2},
        {"msadpcm.wav", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 8000, 8000},
        {"alaw.wav", SF_FORMAT_WAV | SF_FORMAT_ALAW, 8000, 12000},
        {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 24000},
    };
    for (const auto& s : sounds) {
        WriteSound(dir / s.name, s.format, s.rate, 1, s.frames);
        const cp::SoundFile f(dir / s.name);
        ASSERT_TRUE(f.isOpen()) << s.name;
        // ADPCM pads its last block, so allow one block of frames.
        EXPECT_NEAR(double(f.lengthMs()), 1000.0 * s.frames / s.rate, 1000.0 * 1024 / s.rate) << s.name;
    }
    WriteFile(dir / "riff.avi", Concat({Text("RIFF"), Junk(1000)}));
    WriteFile(dir / "bare", Text("RIFF"));
    WriteFile(dir / "empty", {});
    for (const char* name : {"riff.avi", "bare", "empty", "missing"})
        EXPECT_FALSE(cp::SoundFile(dir / name).isOpen()) << name;
}

class DummyOutput : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ::setenv("SDL_AUDIODRIVER", "dummy", 1); }
    TempDir dir;
    cp::SdlAudioOutput output;
    WaveDevice device {&output};
    std::string wave = dir / "tone.wav";
    void SetUp() override
    {
        ASSERT_TRUE(output.available());
        WriteFile(wave, MakeWave(8000, 400)); // 400 ms
    }
    void Load(const std::string& path)
    {
        device.setDeviceType("WaveAudio");
        device.setFileName(path);
        device.command("Open");
        device.command("Set");
    }
};

TEST_F(DummyOutput, PlaysOnceThenStopsAtTheEnd)
{
    EXPECT_EQ(device.mode(), WaveDevice::NotOpen);
    device.command("Play"); // nothing open: nothing happens
    EXPECT_EQ(device.mode(), WaveDevice::NotOpen);

    Load(wave);
    EXPECT_EQ(device.mode(), WaveDevice::Stopped);
    EXPECT_EQ(device.length(), 400);
    EXPECT_EQ(device.position(), 0);

    device.command("Prev");
    device.command("Play");
    EXPECT_EQ(device.mode(), WaveDevice::Playing);
    ASSERT_TRUE(WaitFor([&] { return device.position() > 0; }, std::chrono::seconds(5)));
    ASSERT_TRUE(WaitFor([&] { return device.mode() == WaveDevice::Stopped; }, std::chrono::seconds(5)));
    EXPECT_EQ(device.position(), 400) << "a sound that ended stands at its end";

    device.command("Play"); // at the end: nothing to play
    EXPECT_EQ(device.mode(), WaveDevice::Stopped);
}

TEST_F(DummyOutput, StopHoldsThePositionAndPrevRewinds)
{
    Load(wave);
    device.command("Play");
    ASSERT_TRUE(WaitFor([&] { return device.position() >= 50; }, std::chrono::seconds(5)));
    device.command("Stop");
    const auto at = device.position();
    EXPECT_EQ(device.mode(), WaveDevice::Stopped);
    EXPECT_GT(at, 0);
    EXPECT_LT(at, 400);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(device.position(), at);
    device.command("Prev");
    EXPECT_EQ(device.position(), 0);
    device.command("Stop"); // harmless when nothing plays
    EXPECT_EQ(device.mode(), WaveDevice::Stopped);
}

TEST_F(DummyOutput, UndecodableEntriesLeaveTheDeviceClosed)
{
    for (const Bytes& content : {Concat({Text("RIFF"), Junk(500)}), Text("RIFF"), Bytes{}}) {
        WriteFile(dir / "entry", content);
        Load(dir / "entry");
        EXPECT_EQ(device.mode(), WaveDevice::NotOpen);
        EXPECT_EQ(device.length(), 0);
        device.command("Prev");
        device.command("Play");
        EXPECT_EQ(device.mode(), WaveDevice::NotOpen);
    }
}

TEST_F(DummyOutput, CloseLetsGoAndTheTickFollowsTheRules)
{
    Load(wave);
    cp::PlaybackTick tick = cp::TickPlayback(device, 0, 1);
    EXPECT_FALSE(tick.playEnabled);
    EXPECT_FALSE(tick.stopEnabled) << "no entry current: neither, whatever the box says";
    tick = cp::TickPlayback(device, 2, 0);
    EXPECT_TRUE(tick.playEnabled);
    EXPECT_FALSE(tick.stopEnabled);
    EXPECT_EQ(tick.status, "angehalten");
    EXPECT_TRUE(cp::TickPlayback(device, 2, 1).stopEnabled) << "loop box ticked";
    EXPECT_EQ(cp::GetStringOfNumber(527), "527") << "recording has no word of its own";
    EXPECT_FALSE(cp::TickPlayback(device, 2, 2).stopEnabled) << "only a plain tick counts";

    device.command("Play");
    tick = cp::TickPlayback(device, 2, 0);
    EXPECT_EQ(tick.status, "wird abgespielt");
    EXPECT_TRUE(tick.stopEnabled);

    device.closeEntryFile();
    tick = cp::TickPlayback(device, 2, 0);
    EXPECT_EQ(tick.status, "nicht geöffnet");
    EXPECT_EQ(tick.sliderValue, 0);
    EXPECT_FALSE(output.playing(cp::Voice::Device));
}

TEST_F(DummyOutput, BothVoicesPlayAtOnceAndTheLoopGoesOnUntilStopped)
{
    cp::SoundPlayer player(&output);
    Load(wave);
    player.loop(wave);
    device.command("Play");
    EXPECT_TRUE(output.playing(cp::Voice::Player));
    EXPECT_EQ(device.mode(), WaveDevice::Playing);
    // Well past one length the loop still sounds.
    ASSERT_TRUE(WaitFor([&] { return output.framesPlayed(cp::Voice::Player) > 8000 * 6 / 10; }, std::chrono::seconds(5)));
    EXPECT_TRUE(output.playing(cp::Voice::Player));
    player.stop();
    EXPECT_FALSE(output.playing(cp::Voice::Player));
    player.stop(); // harmless
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
    cp::SoundPlayer(&output).loop(dir / "tone.wav");
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

    // The device's output as floats (the device plays 32-bit float stereo),
    // from the first sounding frame on: a paused device still writes silence.
    std::vector<float> Played()
    {
        const Bytes bytes = ReadFile(raw);
        std::vector<float> samples(bytes.size() / sizeof(float));
        std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
        std::size_t first = 0;
        while (first < samples.size() && samples[first] == 0.0f)
            ++first;
        first -= first % 2;
        return std::vector<float>(samples.begin() + std::ptrdiff_t(first), samples.end());
    }
};

TEST_F(DiskOutput, PlaysTheEntrysOwnSamples)
{
    const std::string wave = dir / "stereo.wav";
    WriteSound(wave, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, 4410);
    std::vector<float> expected(4410 * 2);
    {
        cp::SoundFile f(wave);
        ASSERT_EQ(f.read(expected.data(), 4410), 4410);
    }
    std::vector<float> played;
    {
        cp::SdlAudioOutput output;
        ASSERT_TRUE(output.available());
        ASSERT_EQ(output.deviceRate(), 44100);
        ASSERT_EQ(output.deviceChannels(), 2);
        WaveDevice device(&output);
        device.setFileName(wave);
        device.command("Open");
        device.command("Play");
        ASSERT_TRUE(WaitFor([&] { return device.mode() == WaveDevice::Stopped; }, std::chrono::seconds(10)));
        EXPECT_EQ(device.position(), 100);
    }
    played = Played();
    ASSERT_GE(played.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(played[i], expected[i]) << "sample " << i;
}

TEST_F(DiskOutput, LoopRepeatsWithoutAGap)
{
    const std::string wave = dir / "mono.wav";
    WriteSound(wave, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, 1000);
    {
        cp::SdlAudioOutput output;
        ASSERT_TRUE(output.available());
        cp::SoundPlayer player(&output);
        player.loop(wave);
        ASSERT_TRUE(WaitFor([&] { return output.framesPlayed(cp::Voice::Player) > 3500; }, std::chrono::seconds(10)));
        player.stop();
    }
    const std::vector<float> played = Played();
    ASSERT_GE(played.size(), std::size_t(3500 * 2));
    // Every sample equals the one a whole length (1000 frames) later.
    for (std::size_t i = 0; i + 2000 < 3500 * 2; ++i)
        ASSERT_EQ(played[i], played[i + 2000]) << "sample " << i;
    EXPECT_NE(played[2], 0.0f);
}

} // namespace
