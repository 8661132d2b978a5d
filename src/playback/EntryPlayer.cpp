// SPDX-License-Identifier: GPL-3.0-or-later
#include "EntryPlayer.h"

namespace cp {

void EntryPlayer::play(const std::string& path, bool loop)
{
    if (loop) {
        m_looper.loop(path);
        return;
    }
    m_device.rewind();
    m_device.play();
}

void EntryPlayer::stop()
{
    m_device.stop();
    m_device.rewind();
    m_looper.stop();
}

PlaybackTick EntryPlayer::tick(std::int64_t currentEntry, bool loopTicked)
{
    PlaybackTick tick;
    tick.sliderValue = m_device.position();
    const int mode = m_device.mode();
    tick.status = modeWord(mode);
    tick.playEnabled = currentEntry > 0;
    // Play repeats through the sound player for any tick in the box, the
    // partial one included, so Stop must be there for each of them.
    tick.stopEnabled = currentEntry > 0 && (mode == PlaybackDevice::Playing || loopTicked);
    return tick;
}

} // namespace cp
