// SPDX-License-Identifier: GPL-3.0-or-later
#include "MciWaveDevice.h"

#include "base/WideText.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>

namespace cp {

MciWaveDevice::~MciWaveDevice()
{
    close();
}

void MciWaveDevice::open(const std::string& path)
{
    close();
    const std::wstring element = wideText(path);
    MCI_OPEN_PARMSW request {};
    request.lpstrDeviceType = L"waveaudio";
    request.lpstrElementName = element.c_str();
    if (mciSendCommandW(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT, DWORD_PTR(&request)) != 0)
        return; // a file the device cannot play leaves it closed
    m_device = request.wDeviceID;
    MCI_SET_PARMS format {};
    format.dwTimeFormat = MCI_FORMAT_MILLISECONDS;
    if (mciSendCommandW(m_device, MCI_SET, MCI_SET_TIME_FORMAT | MCI_WAIT, DWORD_PTR(&format)) != 0)
        close();
}

void MciWaveDevice::rewind()
{
    if (m_device)
        mciSendCommandW(m_device, MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, 0);
}

void MciWaveDevice::play()
{
    if (!m_device || mode() == Playing || position() >= length())
        return;
    MCI_PLAY_PARMS from {};
    mciSendCommandW(m_device, MCI_PLAY, 0, DWORD_PTR(&from));
}

void MciWaveDevice::stop()
{
    if (m_device)
        mciSendCommandW(m_device, MCI_STOP, MCI_WAIT, 0);
}

void MciWaveDevice::close()
{
    if (!m_device)
        return;
    mciSendCommandW(m_device, MCI_CLOSE, MCI_WAIT, 0);
    m_device = 0;
}

std::int64_t MciWaveDevice::status(unsigned long item) const
{
    MCI_STATUS_PARMS request {};
    request.dwItem = item;
    if (!m_device || mciSendCommandW(m_device, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, DWORD_PTR(&request)) != 0)
        return -1;
    return std::int64_t(request.dwReturn);
}

int MciWaveDevice::mode()
{
    if (!m_device)
        return NotOpen;
    const std::int64_t mode = status(MCI_STATUS_MODE);
    return mode < 0 ? NotOpen : int(mode); // MCI_MODE_STOP and MCI_MODE_PLAY are Stopped and Playing
}

std::int64_t MciWaveDevice::length() const
{
    return m_device ? std::max<std::int64_t>(status(MCI_STATUS_LENGTH), 0) : 0;
}

std::int64_t MciWaveDevice::position()
{
    return m_device ? std::max<std::int64_t>(status(MCI_STATUS_POSITION), 0) : 0;
}

} // namespace cp
