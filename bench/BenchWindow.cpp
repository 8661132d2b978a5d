// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchWindow.h"

#include "BenchSupport.h"
#include "window/QtNumberStyle.h"

#include <QLocale>

#include <sys/stat.h>

namespace cpbench {

namespace {

// QSettings takes its folder when it is made: set it first.
QString settingsIn(const std::string& work)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(work + "/config"));
    return QStringLiteral("Chunkpicker");
}

} // namespace

BenchWindow::BenchWindow(const std::string& work, const std::string& entryFolder)
    : m_qsettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Oxbrook"), settingsIn(work))
    , m_folder {entryFolder}
{
    m_startup.targetFolder = entryFolder;
    ::mkdir(entryFolder.c_str(), 0755);
    m_window = std::make_unique<cp::MainWindow>(cp::MainWindow::Context {m_folder, m_startup, m_settings, m_player,
                                                                         dialogs, work, cp::numberStyleOf(QLocale())});
    m_window->start();
}

void BenchWindow::open(const std::string& source)
{
    dialogs.files.push_back({source, 1});
    m_window->runCommand(cp::Command::Open);
}

std::string makeBenchArchive(const std::string& work, int entries, std::size_t entryBytes, std::int64_t* size)
{
    ::mkdir(work.c_str(), 0755);
    const std::string source = work + "/many.pak";
    const std::int64_t bytes = makeArchive(source, entries, entryBytes, 600);
    std::printf("archive: %d entries, %.1f MiB\n", entries, double(bytes) / (1 << 20));
    if (size)
        *size = bytes;
    return source;
}

} // namespace cpbench
