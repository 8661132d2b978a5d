// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchWindow.h"

#include "window/QtNumberStyle.h"

#include <QLocale>

#include <sys/stat.h>

namespace cpbench {

BenchWindow::BenchWindow(const std::string& work, const std::string& entryFolder)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(work + "/config"));
    m_store = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "Oxbrook", "Chunkpicker");
    m_backend = std::make_unique<cp::QtSettings>(*m_store);
    m_settings = std::make_unique<cp::SettingsStore>(*m_backend);
    m_startup.targetFolder = entryFolder;
    ::mkdir(entryFolder.c_str(), 0755);
    m_folder.path = entryFolder;
    m_window = std::make_unique<cp::MainWindow>(cp::MainWindow::Context {m_folder, m_startup, *m_settings, m_player,
                                                                         dialogs, work, cp::numberStyleOf(QLocale())});
    m_window->start();
}

void BenchWindow::open(const std::string& source)
{
    dialogs.files.push_back({source, 1});
    m_window->runCommand(cp::Command::Open);
}

} // namespace cpbench
