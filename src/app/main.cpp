// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/QtUserDialogs.h"
#include "playback/SdlAudioOutput.h"
#include "playback/EntryPlayer.h"
#include "playback/WaveDevice.h"
#include "scan/ScanResult.h"
#include "files/PrivateFolder.h"
#include "files/RunJournal.h"
#include "batch/BatchRun.h"
#include "base/CommandLine.h"
#include "files/SystemFileProbe.h"
#include "display/Display.h"
#include "logic/ErrorReport.h"
#include "logic/SettingsStore.h"
#include "window/QtNumberStyle.h"
#include "window/QtSettings.h"
#include "window/Icons.h"
#include "window/MainWindow.h"
#include "FileTypes.h"
#include "StartupSteps.h"
#include "WindowEntryFiles.h"
#include "Signals.h"
#include "batch/StopSignals.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QStringList>
#include <QTranslator>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace {

int runWithoutDisplay(bool valid, const std::string& cause, const cp::StartupState& state)
{
    if (!valid)
        return cp::refuseCommandLine(cause);
    if (state.targetGiven)
        return cp::runBatch(state, cp::numberStyleOf(QLocale::system()), stdout, stderr, cp::stopOnSignals());
    std::fprintf(stderr,
                 "%s: Ohne Anzeige kann kein Fenster geöffnet werden. Für den Stapelbetrieb Quelldatei und "
                 "Zielverzeichnis angeben.\n%s\n",
                 cp::kApplicationTitle, cp::kUsageLine);
    return 3;
}

// Qt connects to the display anew after FindDisplay's check, and aborts when
// it no longer answers then (a busy or dying X server). The offscreen
// platform behind it in the list catches that; wasOffscreen tells whether
// the offscreen platform was asked for from the start.
void fallBackToOffscreen(bool* wasOffscreen)
{
    QByteArray platforms = qgetenv("QT_QPA_PLATFORM");
    *wasOffscreen = platforms.startsWith("offscreen");
    if (*wasOffscreen || platforms.startsWith("minimal"))
        return;
    if (platforms.isEmpty())
        platforms = qEnvironmentVariableIsEmpty("DISPLAY") ? "wayland" : "xcb";
    qputenv("QT_QPA_PLATFORM", platforms + ";offscreen");
    // Its complaint about the lost display is ours to tell, or not.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.qpa.xcb.warning=false\nqt.qpa.wayland.warning=false"));
}

// Qt's messages while it connects to the display, held until it is known
// whether they concern the user: when the display went away meanwhile, they
// only say so in Qt's words, and the program says it in its own (or, in a
// batch run, has nothing to say).
QStringList* heldMessages = nullptr;

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    const QString line = qFormatLogMessage(type, context, text);
    if (type == QtFatalMsg) // Qt ends the program after this
        std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    else
        heldMessages->append(line);
}

} // namespace

int main(int argc, char** argv)
{
    cp::keepRunningPastFileSizeLimit();
    // System error texts in the user's language; numbers are formatted by QLocale.
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");

    // At every start, before the command line is read, so that the association
    // follows the program wherever it now lies.
    const cp::FileTypeRegistration registration = cp::registerProgramFileTypes();

    const std::vector<std::string> arguments(argv + 1, argv + argc);
    cp::SystemFileProbe probe;
    cp::StartupState state;
    std::string cause;
    const bool valid = cp::resolveCommandLine(cp::argumentText(arguments), probe, state, &cause);
    // A default left out is worth a word where someone reads the output, not a box.
    if (valid && state.targetGiven && !registration.skipped.empty())
        std::fprintf(stderr, "%s: %s\n", cp::kApplicationTitle, registration.skipped.c_str());

    // Where no window can be shown: a batch run (and the invalid-command-line
    // message) goes on headless; a window cannot open.
    const auto withoutWindow = [&](bool displayNamed) {
        cp::reportRegistrationFailures(registration.failures, nullptr);
        if (!displayNamed || !valid || state.targetGiven)
            return runWithoutDisplay(valid, cause, state);
        std::fprintf(stderr, "%s: Die Anzeige ist nicht erreichbar (DISPLAY=%s).\n", cp::kApplicationTitle,
                     qEnvironmentVariable("DISPLAY").toLocal8Bit().constData());
        return 3;
    };
    const cp::DisplayKind display = cp::findDisplay();
    if (display != cp::DisplayKind::Reachable)
        return withoutWindow(display == cp::DisplayKind::Unreachable);
    bool wasOffscreen = false;
    fallBackToOffscreen(&wasOffscreen);
    QStringList connectionMessages;
    heldMessages = &connectionMessages;
    const QtMessageHandler previousHandler = qInstallMessageHandler(holdMessage);
    QApplication app(argc, argv);
    qInstallMessageHandler(previousHandler);
    // The display went between the check and Qt's connection.
    if (QGuiApplication::platformName() == QLatin1String("offscreen") && !wasOffscreen)
        return withoutWindow(true);
    for (const QString& line : connectionMessages)
        std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    QCoreApplication::setOrganizationName(QStringLiteral("Oxbrook"));
    QCoreApplication::setApplicationName(QStringLiteral("Chunkpicker"));
    QTranslator qtTranslations;
    if (qtTranslations.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslations);

    QApplication::setWindowIcon(cp::applicationIcon());

    cp::QtUserDialogs dialogs;
    cp::reportRegistrationFailures(registration.failures, &dialogs);
    if (!valid) {
        if (!cp::platformShowsWindows())
            return cp::refuseCommandLine(cause);
        dialogs.message(cp::DialogOwner::MainWindow, cp::kApplicationTitle, cp::invalidParametersMessage());
        return 2;
    }

    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Oxbrook"),
                    QStringLiteral("Chunkpicker"));
    cp::QtSettings backend(store);
    cp::SettingsStore settings(backend);
    // A batch run plays nothing: it leaves the sound system alone.
    std::unique_ptr<cp::SdlAudioOutput> audio;
    if (!state.targetGiven)
        audio = std::make_unique<cp::SdlAudioOutput>();
    cp::WaveDevice device(audio.get());
    cp::SoundPlayer looper(audio.get());
    cp::EntryPlayer player(device, looper);
    cp::WindowEntryFiles entryFiles(state);
    cp::MainWindow window({entryFiles.folder(), state, settings, player, dialogs,
                           cp::pathBytes(QCoreApplication::applicationDirPath()), cp::numberStyleOf(QLocale())});
    dialogs.setOwner(cp::DialogOwner::MainWindow, &window);
    // SIGTERM, SIGINT and SIGHUP close the window like the user does.
    cp::closeOnSignals(window, app);
    if (const auto status = window.start())
        return *status;
    return app.exec();
}
