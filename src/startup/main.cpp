#include "dialogs/UserDialogs.h"
#include "playback/SdlAudioOutput.h"
#include "playback/WaveDevice.h"
#include "scan/EntryTable.h"
#include "startup/BatchRun.h"
#include "startup/CommandLine.h"
#include "startup/Display.h"
#include "startup/SettingsStore.h"
#include "window/MainWindow.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QTranslator>

#include <atomic>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::atomic<bool> g_stopBatch{false};

extern "C" void RequestStop(int)
{
    g_stopBatch.store(true);
}

int RunWithoutDisplay(bool valid, const cp::StartupState& state)
{
    if (!valid) {
        std::fprintf(stderr, "%s\n", cp::InvalidParametersMessage().c_str());
        return 2;
    }
    if (state.TargetGiven) {
        std::signal(SIGINT, RequestStop);
        std::signal(SIGTERM, RequestStop);
        return cp::RunBatch(state, QLocale::system(), stdout, stderr, &g_stopBatch);
    }
    std::fprintf(stderr,
                 "%s: Ohne Anzeige kann kein Fenster geöffnet werden. Für den Stapelbetrieb Quelldatei und "
                 "Zielverzeichnis angeben.\n%s\n",
                 cp::kApplicationTitle, cp::kUsageLine);
    return 3;
}

} // namespace

int main(int argc, char** argv)
{
    // A write past the file-size limit must fail like any other write, not kill us.
    std::signal(SIGXFSZ, SIG_IGN);
    // System error texts in the user's language; numbers are formatted by QLocale.
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");

    // File-type registration joins here, before the command line is read.

    const std::vector<std::string> arguments(argv + 1, argv + argc);
    cp::SystemFileProbe probe;
    cp::StartupState state;
    const bool valid = cp::ResolveCommandLine(cp::ArgumentText(arguments), probe, state);

    if (!cp::HasDisplay())
        return RunWithoutDisplay(valid, state);
    // A batch run must not fail for want of a reachable display.
    if (valid && state.TargetGiven && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb;wayland;offscreen");

    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Oxbrook"));
    QCoreApplication::setApplicationName(QStringLiteral("Chunkpicker"));
    QTranslator qtTranslations;
    if (qtTranslations.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslations);

    cp::QtUserDialogs dialogs;
    if (!valid) {
        dialogs.message(nullptr, QString::fromUtf8(cp::kApplicationTitle),
                        QString::fromStdString(cp::InvalidParametersMessage()));
        return 2;
    }

    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Oxbrook"),
                    QStringLiteral("Chunkpicker"));
    cp::SettingsStore settings(store);
    cp::SdlAudioOutput audio;
    cp::WaveDevice device(&audio);
    cp::SoundPlayer player(&audio);
    cp::EntryTable table;
    cp::MainWindow window({table, state, settings, device, player, dialogs, QCoreApplication::applicationDirPath()});
    if (const auto status = window.Form_Load())
        return *status;
    return app.exec();
}
