// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows face's platform parts, under wine: the settings in the
// registry and the multimedia system's wave device.
#include "logic/SettingsStore.h"
#include "playback/MciWaveDevice.h"
#include "support/Fixtures.h"
#include "win32/RegistrySettings.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace cptest;

namespace {

TEST(RegistrySettings, StringsUnderTheUsersKeyNumbersAsTextAnythingElseAbsent)
{
    const std::wstring key = L"Software\\Oxbrook\\ChunkpickerTest";
    cp::RegistrySettings backend(key);
    cp::SettingsStore settings(backend);
    EXPECT_EQ(settings.value("Loop", "0"), "0") << "nothing stored yet";
    settings.setValue("FFLDir", "C:\\Spiele\\Übung ♪");
    settings.setValue("Long", std::string(1025, 'x'));
    settings.sync();
    HKEY raw = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_SET_VALUE, &raw), ERROR_SUCCESS);
    const DWORD number = 42;
    RegSetValueExW(raw, L"Zahl", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegSetValueExW(raw, L"Bytes", 0, REG_BINARY, reinterpret_cast<const BYTE*>("ab"), 2);
    RegCloseKey(raw);
    EXPECT_EQ(settings.value("FFLDir", "") + "|" + settings.value("Zahl", "") + "|" + settings.value("Bytes", "-") + "|"
                  + settings.value("Long", "-"),
              "C:\\Spiele\\Übung ♪|42|-|-")
        << "UTF-8 through UTF-16 and back; a number as text; others and overlong ones as absent";
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

TEST(MciWaveDevice, OpensAWaveAndTellsItsLengthAFileItCannotPlayLeavesItClosed)
{
    TempDir dir;
    WriteFile(dir / "ton.wav", MakeWave(11025, 1200));
    WriteFile(dir / "kaputt.wav", Text("RIFF....WAVEjunk"));
    cp::MciWaveDevice device;
    device.open(dir / "kaputt.wav");
    EXPECT_EQ(device.mode(), cp::PlaybackDevice::NotOpen);
    EXPECT_EQ(device.length(), 0);
    device.open(dir / "ton.wav");
    if (device.mode() == cp::PlaybackDevice::NotOpen)
        GTEST_SKIP() << "no wave device here";
    EXPECT_EQ(device.mode(), cp::PlaybackDevice::Stopped);
    EXPECT_EQ(device.length(), 1200);
    EXPECT_EQ(device.position(), 0);
    device.close();
    EXPECT_EQ(device.mode(), cp::PlaybackDevice::NotOpen);
}

} // namespace
