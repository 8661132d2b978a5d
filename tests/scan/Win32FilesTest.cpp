// SPDX-License-Identifier: GPL-3.0-or-later
// What only Windows does: runs killed through TerminateProcess, files held
// open alone, names Windows cannot hold. This program starts itself again as
// the other runs.
#include "ScanFixture.h"
#include "saving/CopyQueue.h"
#include "files/RunJournal.h"
#include "files/Win32Files.h"
#include "base/ErrorNumbers.h"
#include "base/SystemErrors.h"

#include <windows.h>

#include <shellapi.h>
#include <winternl.h>

#include <map>
#include <optional>

using namespace cptest;

namespace {

// This program once more, with arguments: the other run. Its handle.
HANDLE StartRun(const std::vector<std::string>& arguments)
{
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(self) + L"\"";
    for (const auto& argument : arguments)
        line += L" \"" + native(argument).wstring() + L"\"";
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process {};
    EXPECT_TRUE(::CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    ::CloseHandle(process.hThread);
    return process.hProcess;
}

DWORD Ended(HANDLE process)
{
    DWORD status = 259;
    if (::WaitForSingleObject(process, 60'000) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(process, &status);
    ::CloseHandle(process);
    return status;
}

// Started as "signal EVENT": the other run tells it is where the test wants it, then waits to be killed.
void SignalAndWait(const std::string& event)
{
    HANDLE ready = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, native(event).c_str());
    ::SetEvent(ready);
    ::Sleep(INFINITE);
}

// The other runs: "write FOLDER SOURCE EVENT" stops halfway through an entry;
// "window FOLDER SOURCE EVENT" keeps its entries as a window does; "batch
// FOLDER SOURCE" writes them all and ends.
int OtherRun(const std::vector<std::string>& a)
{
    if (a[0] == "write") {
        cp::FileWriter writer(a[1], "entry");
        writer.copyFrom(cp::SourceReader(a[2]), 0, 9 << 20, [&](std::int64_t done) {
            if (done > 0)
                SignalAndWait(a[3]);
            return true;
        });
    }
    cp::EntryFolder folder {a[1]};
    cp::ScanResult result;
    std::optional<cp::RunJournal> journal;
    if (a[0] == "window")
        folder.journal = &journal.emplace(a[1]);
    WaveEntryScanner(folder).scanFile(a[2], result);
    if (a[0] == "window")
        SignalAndWait(a[3]);
    return 0;
}

class Win32Files : public ScanTest {
protected:
    std::string event = "Local\\cptest-" + std::to_string(::GetCurrentProcessId());
    HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, native(event).c_str());
    ~Win32Files() override { ::CloseHandle(ready); }

    void KillWhenReady(HANDLE run)
    {
        EXPECT_EQ(::WaitForSingleObject(ready, 60'000), WAIT_OBJECT_0) << "the other run got where it should";
        ::TerminateProcess(run, 9);
        EXPECT_EQ(Ended(run), 9u);
        ::ResetEvent(ready);
    }
};

TEST_F(Win32Files, AWriterKilledMidEntryLeavesNothingAndTwoRunsOverwriteNothing)
{
    const Bytes entry = Concat({Text("RIFF"), Junk(9 << 20)});
    const std::string source = Source(entry);
    KillWhenReady(StartRun({"write", target, source, event}));
    EXPECT_TRUE(ListFolder(target).empty()) << "not even the temporary";

    const Bytes small = Concat({Text("RIFF"), Junk(100), Text("RIFF"), Junk(200, 2), Text("RIFF")});
    const std::string two = Source(small, "two.ffl");
    HANDLE first = StartRun({"batch", target, two}), second = StartRun({"batch", target, two});
    EXPECT_EQ(Ended(first), 0u) << "the first run";
    EXPECT_EQ(Ended(second), 0u) << "the second run";
    std::vector<std::string> expected;
    for (int n = 1; n <= 6; ++n)
        expected.push_back("Sound00" + std::to_string(n) + " aus two.ffl.wav");
    ASSERT_EQ(ListFolder(target), expected) << "each run's three entries under names of their own";
    EXPECT_NO_THROW(cp::syncFolder(target));
    std::map<Bytes, int> entries;
    for (const auto& name : expected)
        ++entries[ReadFile(target / name)];
    EXPECT_EQ(entries,
              (std::map<Bytes, int> {{Text("RIFF"), 2},
                                     {Bytes(small.begin(), small.begin() + 104), 2},
                                     {Bytes(small.begin() + 104, small.begin() + 308), 2}}))
        << "each entry whole, twice";
}

TEST_F(Win32Files, TheEntryFilesOfAKilledWindowGoAtTheNextStartThoseOfALiveOneStay)
{
    const std::string path = Source(Text("RIFFaRIFFb"));
    KillWhenReady(StartRun({"window", target, path, event}));
    ASSERT_EQ(ListFolder(target).size(), 3u) << "two entry files and the killed window's record";
    WriteFile(target / "Sound002 aus sound.ffl.wav", Text("since replaced by the user"));
    cp::RunJournal live(target);
    folder.journal = &live;
    Scan(path); // a window still running: Sound003 and Sound004
    HANDLE held = ::CreateFileW(native(target / ".chunkpicker-1-1.tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                0, nullptr); // a temporary being written
    WriteFile(target / ".chunkpicker-1-2.tmp", Text("left by a killed run"));
    cp::removeEntryFilesOfEndedRuns(target);
    cp::removeStaleTemporaries(target);
    const auto left = ListFolder(target);
    ASSERT_EQ(left.size(), 5u) << "the held temporary, the live record, the replaced file and the live entries";
    EXPECT_EQ(left[0], ".chunkpicker-1-1.tmp");
    EXPECT_EQ(left[1].rfind(".chunkpicker-window-" + std::to_string(::GetCurrentProcessId()) + "-", 0), 0u) << left[1];
    EXPECT_EQ(left[2] + left[3] + left[4],
              "Sound002 aus sound.ffl.wavSound003 aus sound.ffl.wavSound004 aus sound.ffl.wav");
    ::CloseHandle(held);
    folder.journal = nullptr;
}

TEST_F(Win32Files, AReplacementKeepsTheAttributesOfTheFileItReplacesAndAReadOnlyOneStays)
{
    const std::string source = Source(Text("RIFF new")), copy = dir / "copy.wav";
    WriteFile(copy, Text("old"));
    ::SetFileAttributesW(native(copy).c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(cp::copyWholeFile(source, copy, true), cp::CopyOutcome::Copied);
    EXPECT_TRUE(::GetFileAttributesW(native(copy).c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(ReadFile(copy), Text("RIFF new"));
    ::SetFileAttributesW(native(copy).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_THROW(cp::copyWholeFile(source, copy, true), cp::ScanError);
    ::SetFileAttributesW(native(copy).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ListFolder(dir.path()), (std::vector<std::string> {"copy.wav", "out", "sound.ffl"}))
        << "no temporary left";
}

TEST_F(Win32Files, NamesWindowsCannotHoldAreRefusedSayingWhy)
{
    const std::string source = Source(Text("RIFF"));
    const std::pair<std::string, std::string> cases[] = {
        {"a:b.wav", "keines der Zeichen"},   // else a stream of the file a
        {"sub/b.wav", "keines der Zeichen"}, // else a file in another folder
        {"b.wav.", "auf einen Punkt"},       // else Windows drops the dot
        {"con.wav", "einem Gerät vorbehalten"}, {"\xff.wav", "kein gültiges UTF-8"},
    };
    for (const auto& [name, why] : cases) {
        cp::FileWriter writer(target, name);
        writer.copyFrom(cp::SourceReader(source), 0, 4, {});
        cp::FileIdentity identity;
        const auto failure = ScanFailure([&] { writer.publish(target / name, &identity); });
        ASSERT_TRUE(failure) << name << " was taken";
        EXPECT_NE(std::string(failure->what()).find(why), std::string::npos) << name << ": " << failure->what();
    }
    EXPECT_TRUE(ListFolder(target).empty());
}

// What wine does not show: it takes long paths without the prefix, keeps no
// names pending deletion, and no scanner holds a new file there.
TEST_F(Win32Files, LongPathsPendingNamesHeldFilesAndLostSharesAreTakenAsWindowsMeansThem)
{
    const std::pair<std::wstring, std::wstring> paths[] = {
        {L"C:\\a\\..\\b/c.wav", L"\\\\?\\C:\\b\\c.wav"},
        {L"\\\\server\\share\\c.wav", L"\\\\?\\UNC\\server\\share\\c.wav"},
        {L"\\\\?\\C:\\x", L"\\\\?\\C:\\x"},
    };
    for (const auto& [path, wanted] : paths)
        EXPECT_EQ(cp::win32::systemPath(path), wanted);
    EXPECT_TRUE(cp::win32::nameTakenBy(ERROR_ACCESS_DENIED, true));
    EXPECT_FALSE(cp::win32::nameTakenBy(ERROR_ACCESS_DENIED, false)) << "a folder that refuses us takes no name";
    int attempts = 0;
    DWORD waited = 0, error = ERROR_SHARING_VIOLATION;
    const auto heldTwice = [&] {
        ::SetLastError(error);
        return ++attempts == 3;
    };
    const cp::win32::Wait wait = [&](DWORD milliseconds) { waited += milliseconds; };
    EXPECT_TRUE(cp::win32::retriedWhileHeld(heldTwice, wait));
    error = ERROR_ACCESS_DENIED;
    EXPECT_FALSE(cp::win32::retriedWhileHeld(heldTwice, wait));
    EXPECT_EQ(::GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_LE(waited, 1000u);
    error = ERROR_DISK_FULL;
    EXPECT_FALSE(cp::win32::retriedWhileHeld(heldTwice, wait));
    EXPECT_EQ(attempts, 3 + 7 + 1) << "tried again only while held, a few times";
    const std::pair<DWORD, int> errors[] = {{1295 /* ERROR_DISK_QUOTA_EXCEEDED */, cp::ErrorNumber::DiskFull},
                                            {ERROR_NETNAME_DELETED, cp::ErrorNumber::DeviceIo},
                                            {ERROR_SEM_TIMEOUT, cp::ErrorNumber::DeviceIo}};
    for (const auto& [windowsError, number] : errors)
        EXPECT_EQ(cp::errorNumberForSystemError(cp::errnoForWindowsError(windowsError)), number) << windowsError;
}

TEST_F(Win32Files, AWriterAsksNoRightToChangePermissionsASharedFolderMayRefuse)
{
    cp::FileWriter writer(target, "entry");
    const auto query = reinterpret_cast<decltype(&::NtQueryObject)>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryObject")));
    ULONG_PTR writerAccess = 0;
    for (ULONG_PTR value = 4; value < 65536; value += 4) {
        PUBLIC_OBJECT_BASIC_INFORMATION basic {};
        wchar_t name[1024] = {};
        const auto handle = reinterpret_cast<HANDLE>(value);
        if (::GetFileType(handle) == FILE_TYPE_DISK && ::GetFinalPathNameByHandleW(handle, name, 1024, 0) < 1024
            && std::wstring(name).find(L".chunkpicker-") != std::wstring::npos
            && query(handle, ObjectBasicInformation, &basic, sizeof basic, nullptr) == 0)
            writerAccess |= basic.GrantedAccess;
    }
    EXPECT_TRUE(writerAccess & DELETE) << "the writer's handle was found";
    EXPECT_FALSE(writerAccess & WRITE_DAC);
}

} // namespace

int main(int argc, char** argv)
{
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(toUtf8(wide[i]));
    if (!arguments.empty() && arguments[0].rfind("--", 0) != 0)
        return OtherRun(arguments);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
