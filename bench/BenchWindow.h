// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/StartupState.h"
#include "logic/SettingsStore.h"
#include "playback/EntryPlayer.h"
#include "playback/WaveDevice.h"
#include "scan/ScanResult.h"
#include "support/ScriptedDialogs.h"
#include "window/MainWindow.h"
#include "window/QtSettings.h"

#include <QSettings>

#include <memory>
#include <string>

namespace cpbench {

// The window as a user meets it, offscreen and silent: its settings in
// work/config, its entry files in entryFolder (made here), its dialogs
// answered from dialogs' lists. Started; the caller opens what it measures.
class BenchWindow {
public:
    BenchWindow(const std::string& work, const std::string& entryFolder);
    cp::MainWindow& window() { return *m_window; }
    const cp::ShownScan& entries() const { return m_window->logic().entries(); }
    // Opens the source through the Open dialog.
    void open(const std::string& source);
    cptest::ScriptedDialogs dialogs;

private:
    QSettings m_qsettings;
    cp::QtSettings m_backend {m_qsettings};
    cp::SettingsStore m_settings {m_backend};
    cp::StartupState m_startup;
    cp::EntryFolder m_folder;
    cp::WaveDevice m_device {nullptr};
    cp::SoundPlayer m_looper {nullptr};
    cp::EntryPlayer m_player {m_device, m_looper};
    std::unique_ptr<cp::MainWindow> m_window;
};

// Makes work and in it an archive of entries wave sounds of about
// entryBytes each, and says how large it came out. Returns its path.
std::string makeBenchArchive(const std::string& work, int entries, std::size_t entryBytes,
                             std::int64_t* size = nullptr);

} // namespace cpbench
