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

// The main window as a benchmark drives it: settings under work/config, no
// sound, dialogs that answer from the benchmark, entry files in entryFolder.
class BenchWindow {
public:
    BenchWindow(const std::string& work, const std::string& entryFolder);
    cp::MainWindow& window() { return *m_window; }
    const cp::ShownScan& entries() const { return m_window->logic().entries(); }
    cptest::ScriptedDialogs dialogs;
    // Opens the source through the Open dialog.
    void open(const std::string& source);

private:
    std::unique_ptr<QSettings> m_store;
    std::unique_ptr<cp::QtSettings> m_backend;
    std::unique_ptr<cp::SettingsStore> m_settings;
    cp::StartupState m_startup;
    cp::EntryFolder m_folder;
    cp::WaveDevice m_device {nullptr};
    cp::SoundPlayer m_looper {nullptr};
    cp::EntryPlayer m_player {m_device, m_looper};
    std::unique_ptr<cp::MainWindow> m_window;
};

} // namespace cpbench
