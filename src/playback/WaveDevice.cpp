// SPDX-License-Identifier: GPL-3.0-or-later
#include "WaveDevice.h"

#include "SoundFile.h"

#include <algorithm>
#include <cctype>

namespace cp {

namespace {
std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}
} // namespace

WaveDevice::WaveDevice(AudioOutput* output)
    : m_output(output)
{
}

WaveDevice::~WaveDevice()
{
    command("Close");
}

std::int64_t WaveDevice::framesToMs(std::int64_t frames) const
{
    if (m_rate <= 0)
        return 0;
    return frames / m_rate * 1000 + frames % m_rate * 1000 / m_rate;
}

std::int64_t WaveDevice::currentFrame()
{
    if (!m_playing)
        return m_startFrame;
    return std::min(m_frames, m_startFrame + (m_output ? m_output->framesPlayed(Voice::Device) : 0));
}

void WaveDevice::command(const std::string& name)
{
    const std::string cmd = Lower(name);
    if (cmd == "open") {
        if (m_open)
            command("close");
        // Only the length is needed now; the output decodes while it plays.
        const SoundFile probe(m_fileName);
        if (!probe.isOpen())
            return;
        m_open = true;
        m_openFile = m_fileName;
        m_frames = probe.frames();
        m_rate = probe.sampleRate();
        m_startFrame = 0;
        m_playing = false;
    } else if (cmd == "set") {
        // Lengths and positions always count milliseconds here.
    } else if (!m_open) {
        return;
    } else if (cmd == "prev") {
        if (m_playing && m_output)
            m_output->stop(Voice::Device);
        m_playing = false;
        m_startFrame = 0;
    } else if (cmd == "play") {
        mode(); // notices a sound that has ended meanwhile
        if (m_playing || m_startFrame >= m_frames || !m_output)
            return;
        m_playing = m_output->play(Voice::Device, m_openFile, m_startFrame, false);
    } else if (cmd == "stop") {
        if (!m_playing)
            return;
        const std::int64_t at = currentFrame();
        if (m_output)
            m_output->stop(Voice::Device);
        m_playing = false;
        m_startFrame = at;
    } else if (cmd == "close") {
        if (m_playing && m_output)
            m_output->stop(Voice::Device);
        m_open = m_playing = false;
        m_openFile.clear();
        m_frames = 0;
        m_rate = 0;
        m_startFrame = 0;
    }
}

int WaveDevice::mode()
{
    if (!m_open)
        return NotOpen;
    if (m_playing && !(m_output && m_output->playing(Voice::Device))) {
        // It played to its end and stopped by itself, standing at the end
        // (the output's count may miss a frame or two to resampling).
        m_startFrame = m_frames;
        m_playing = false;
        if (m_output)
            m_output->stop(Voice::Device);
    }
    return m_playing ? Playing : Stopped;
}

std::int64_t WaveDevice::length() const
{
    return m_open ? framesToMs(m_frames) : 0;
}

std::int64_t WaveDevice::position()
{
    return m_open ? framesToMs(currentFrame()) : 0;
}

void SoundPlayer::loop(const std::string& path)
{
    if (m_output)
        m_output->play(Voice::Player, path, 0, true);
}

void SoundPlayer::stop()
{
    if (m_output)
        m_output->stop(Voice::Player);
}

std::string GetStringOfNumber(int mode)
{
    switch (mode) {
    case WaveDevice::NotOpen: return "nicht geöffnet";
    case WaveDevice::Stopped: return "angehalten";
    case WaveDevice::Playing: return "wird abgespielt";
    case WaveDevice::Seeking: return "wird positioniert";
    case WaveDevice::Paused: return "angehalten";
    case WaveDevice::Ready: return "bereit";
    default: return std::to_string(mode);
    }
}

PlaybackTick TickPlayback(WaveDevice& device, std::int64_t currentEntry, int loopValue)
{
    PlaybackTick tick;
    tick.sliderValue = device.position();
    tick.status = GetStringOfNumber(device.mode());
    tick.playEnabled = currentEntry > 0;
    // Play repeats through the sound player for any tick in the box, the
    // partial one included, so Stop must be there for each of them.
    tick.stopEnabled = currentEntry > 0 && (device.mode() == WaveDevice::Playing || loopValue != 0);
    return tick;
}

} // namespace cp
