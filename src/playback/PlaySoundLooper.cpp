// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlaySoundLooper.h"

#include "base/WideText.h"

#include <windows.h>
#include <mmsystem.h>

namespace cp {

void PlaySoundLooper::loop(const std::string& path)
{
    PlaySoundW(wideText(path).c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_LOOP | SND_NODEFAULT);
}

void PlaySoundLooper::stop()
{
    PlaySoundW(nullptr, nullptr, 0);
}

} // namespace cp
