// SPDX-License-Identifier: GPL-3.0-or-later
// The program on Windows: chunkpicker.exe, the window (which runs a batch in
// it too, as on Linux with a display), and chunkpicker.com, the same program
// as a console program, which cmd and PowerShell pick for "chunkpicker
// Quelle Ziel": it runs the batch on their console, and they wait for its
// exit status.
#include "FileTypes.h"
#include "batch/StopSignals.h"
#include "StartupSteps.h"
#include "WindowEntryFiles.h"

#include "base/CommandLine.h"
#include "base/ConsoleCodePage.h"
#include "base/WideText.h"
#include "batch/BatchRun.h"
#include "files/PrivateFolder.h"
#include "files/RunJournal.h"
#include "files/SystemFileProbe.h"
#include "logic/SettingsStore.h"
#include "playback/EntryPlayer.h"
#include "playback/MciWaveDevice.h"
#include "playback/PlaySoundLooper.h"
#include "scan/ScanResult.h"
#include "win32/RegistrySettings.h"
#include "win32/Win32MainWindow.h"
#include "win32/Win32NumberStyle.h"
#include "win32/Win32UserDialogs.h"

#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

std::vector<std::string> programArguments()
{
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> result;
    for (int i = 1; i < count; ++i)
        result.push_back(cp::utf8Text(arguments[i]));
    ::LocalFree(arguments);
    return result;
}

std::string programFolder()
{
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), DWORD(path.size())));
    path.resize(path.find_last_of(L'\\') == std::wstring::npos ? 0 : path.find_last_of(L'\\'));
    return cp::utf8Text(path);
}

int runWindow(HINSTANCE instance, bool valid, cp::StartupState& state, const cp::FileTypeRegistration& registration,
              const cp::NumberStyle& style)
{
    const INITCOMMONCONTROLSEX controls {sizeof(INITCOMMONCONTROLSEX),
                                         ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES
                                             | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    // The shell's folder picker needs COM on the window's thread.
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    cp::Win32MainWindow* window = nullptr;
    cp::Win32UserDialogs dialogs([&window](cp::DialogOwner owner) -> HWND {
        if (!window)
            return nullptr;
        if (owner == cp::DialogOwner::EntryList && window->entryListWindow())
            return window->entryListWindow();
        return window->handle();
    });
    cp::reportRegistrationFailures(registration.failures, &dialogs);
    if (!valid) {
        dialogs.message(cp::DialogOwner::MainWindow, cp::kApplicationTitle, cp::invalidParametersMessage());
        return 2;
    }
    cp::RegistrySettings backend;
    cp::SettingsStore settings(backend);
    cp::MciWaveDevice device;
    cp::PlaySoundLooper looper;
    cp::EntryPlayer player(device, looper);
    cp::WindowEntryFiles entryFiles(state);
    cp::Win32MainWindow main(instance, {entryFiles.folder(), state, settings, player, dialogs, programFolder(), style});
    window = &main;
    const std::optional<int> status = main.start();
    return status ? *status : main.run();
}

// The window program's output goes where its starter's went: into a file or
// pipe it was given, else onto the console of the cmd it was started from.
bool useStartersConsole()
{
    const DWORD kind = ::GetFileType(::GetStdHandle(STD_OUTPUT_HANDLE));
    if (kind == FILE_TYPE_DISK || kind == FILE_TYPE_PIPE)
        return false;
    if (!::AttachConsole(ATTACH_PARENT_PROCESS))
        return false;
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
    return true;
}

int runProgram(HINSTANCE instance, bool console)
{
    cp::keepRunningPastFileSizeLimit();
    // At every start, so that the association follows the program wherever it now lies.
    const cp::FileTypeRegistration registration = cp::registerProgramFileTypes();
    cp::SystemFileProbe probe;
    cp::StartupState state;
    std::string cause;
    const bool valid = cp::resolveCommandLine(cp::argumentText(programArguments()), probe, state, &cause);
    const cp::NumberStyle style = cp::windowsNumberStyle();
    // A window program's batch run tells its summary where its starter reads.
    std::optional<cp::ConsoleCodePage> codePage;
    if (!console && valid && state.targetGiven && useStartersConsole())
        codePage.emplace();
    if (console && (!valid || state.targetGiven)) {
        cp::reportRegistrationFailures(registration.failures, nullptr);
        if (!valid)
            return cp::refuseCommandLine(cause);
        if (!registration.skipped.empty())
            std::fprintf(stderr, "%s: %s\n", cp::kApplicationTitle, registration.skipped.c_str());
        return cp::runBatch(state, style, stdout, stderr, cp::stopOnSignals());
    }
    return runWindow(instance, valid, state, registration, style);
}

} // namespace

#ifdef CP_CONSOLE_PROGRAM
// chunkpicker.com (MinGW's start-up calls wmain where one is defined, in a
// window program too: only one of the two is made in each).
int wmain(int, wchar_t**)
{
    const cp::ConsoleCodePage codePage;
    return runProgram(::GetModuleHandleW(nullptr), true);
}
#else
// chunkpicker.exe
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    // Output into a file or pipe is the same bytes as on Linux too.
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    return runProgram(instance, false);
}
#endif
