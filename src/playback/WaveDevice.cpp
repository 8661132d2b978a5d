// SPDX-License-Identifier: GPL-3.0-or-later
#include "WaveDevice.h"

#include "SoundFile.h"

#include <algorithm>

namespace cp {

WaveDevice::WaveDevice(AudioOutput* output) : m_output(output)
{
}

WaveDevice::~WaveDevice()
{
    close();
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

void WaveDevice::open(const std::string& path)
{
    close();
    // Only the length is needed now; the output decodes while it plays.
    const SoundFile probe(path);
    if (!probe.isOpen())
        return;
    m_open = true;
    m_openFile = path;
    m_frames = probe.frames();
    m_rate = probe.sampleRate();
}

void WaveDevice::rewind()
{
    if (m_playing && m_output)
        m_output->stop(Voice::Device);
    m_playing = false;
    m_startFrame = 0;
}

void WaveDevice::play()
{
    if (!m_open)
        return;
    if (m_playing || m_startFrame >= m_frames || !m_output)
        return;
    m_playing = m_output->play(Voice::Device, m_openFile, m_startFrame, false);
}

void WaveDevice::stop()
{
    if (!m_playing)
        return;
    const std::int64_t at = currentFrame();
    if (m_output)
        m_output->stop(Voice::Device);
    m_playing = false;
    m_startFrame = at;
}

void WaveDevice::close()
{
    if (m_playing && m_output)
        m_output->stop(Voice::Device);
    m_open = m_playing = false;
    m_openFile.clear();
    m_frames = 0;
    m_rate = 0;
    m_startFrame = 0;
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

} // namespace cp
