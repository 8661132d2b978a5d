// SPDX-License-Identifier: GPL-3.0-or-later
#include "Win32Files.h"

#include "base/PathHelpers.h"
#include "base/SystemErrors.h"
#include "base/WideText.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cwctype>
#include <vector>

namespace cp::win32 {

namespace {

// Windows 10 1607's classes, which MinGW's headers hold back behind a wrong version test.
constexpr auto kDispositionInfoEx = FILE_INFO_BY_HANDLE_CLASS(21);
constexpr auto kRenameInfoEx = FILE_INFO_BY_HANDLE_CLASS(22);

// Device names, which no file may take, whatever extension follows.
bool deviceName(std::wstring name)
{
    name = name.substr(0, name.find(L'.'));
    while (!name.empty() && name.back() == L' ')
        name.pop_back();
    std::transform(name.begin(), name.end(), name.begin(), [](wchar_t c) { return wchar_t(std::towupper(c)); });
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
        if (name == device)
            return true;
    }
    return name.size() == 4 && (name.compare(0, 3, L"COM") == 0 || name.compare(0, 3, L"LPT") == 0) && name[3] >= L'1'
        && name[3] <= L'9';
}

// Why Windows cannot hold name as the name of a file; empty when it can.
std::string nameProblem(const std::wstring& name)
{
    if (name.empty())
        return "kein Dateiname";
    for (const wchar_t c : name) {
        if (c < 0x20 || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos)
            return "Windows erlaubt in Dateinamen keines der Zeichen < > : \" / \\ | ? * und keine Steuerzeichen";
    }
    if (name.back() == L'.' || name.back() == L' ')
        return "Windows erlaubt keinen Dateinamen, der auf einen Punkt oder ein Leerzeichen endet";
    if (deviceName(name))
        return "der Name ist unter Windows einem Gerät vorbehalten (CON, PRN, AUX, NUL, COM1 bis LPT9)";
    return {};
}

} // namespace

bool toWide(const std::string& path, std::wstring* wide, std::string* problem, std::size_t nameAt)
{
    std::string why;
    std::wstring name;
    if (!strictWideText(path, wide))
        why = "der Name ist kein gültiges UTF-8; Windows hält Namen nur in Unicode";
    else if (nameAt != std::string::npos && strictWideText(path.substr(std::min(nameAt, path.size())), &name))
        why = nameProblem(name);
    if (problem)
        *problem = why;
    if (why.empty())
        *wide = systemPath(*wide);
    return why.empty();
}

std::wstring systemPath(const std::wstring& path)
{
    constexpr std::wstring_view kLong = L"\\\\?\\", kDevice = L"\\\\.\\", kShare = L"\\\\";
    if (path.empty() || path.starts_with(kLong))
        return path;
    // Also makes / into \, which the prefixed form no longer does for us.
    std::wstring full(::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
    const DWORD length = full.empty() ? 0 : ::GetFullPathNameW(path.c_str(), DWORD(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size())
        return path;
    full.resize(length);
    if (full.starts_with(kDevice))
        return full;
    if (full.starts_with(kShare))
        return std::wstring(kLong) + L"UNC\\" + full.substr(kShare.size());
    return std::wstring(kLong) + full;
}

std::wstring widePath(FileError::Operation operation, const std::string& path, std::size_t nameAt)
{
    std::wstring wide;
    std::string problem;
    if (!toWide(path, &wide, &problem, nameAt))
        throw FileError(operation, path, EINVAL, problem);
    return wide;
}

std::size_t lastNameAt(const std::string& path)
{
    const auto cut = path.find_last_of("\\/");
    return cut == std::string::npos ? 0 : cut + 1;
}

void fail(FileError::Operation operation, const std::string& path, DWORD error)
{
    throw FileError(operation, path, errnoForWindowsError(error), windowsErrorText(error));
}

bool identityOf(HANDLE file, FileIdentity* identity)
{
    BY_HANDLE_FILE_INFORMATION info {};
    if (!::GetFileInformationByHandle(file, &info))
        return false;
    *identity = {info.dwVolumeSerialNumber, std::uint64_t(info.nFileIndexHigh) << 32 | info.nFileIndexLow,
                 nanoseconds(info.ftLastWriteTime)};
    return true;
}

std::int64_t nanoseconds(const FILETIME& time)
{
    const std::uint64_t ticks = std::uint64_t(time.dwHighDateTime) << 32 | time.dwLowDateTime; // 100 ns since 1601
    return (std::int64_t(ticks) - 116'444'736'000'000'000) * 100;
}

bool markForDeletion(HANDLE file, bool deleted)
{
    FILE_DISPOSITION_INFO_EX posix {};
    posix.Flags = deleted ? FILE_DISPOSITION_FLAG_DELETE | FILE_DISPOSITION_FLAG_POSIX_SEMANTICS
                          : FILE_DISPOSITION_FLAG_DO_NOT_DELETE;
    if (::SetFileInformationByHandle(file, kDispositionInfoEx, &posix, sizeof posix))
        return true;
    if (!newerFormRefused(::GetLastError()))
        return false;
    FILE_DISPOSITION_INFO disposition {};
    disposition.DeleteFile = deleted;
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}

bool renameTo(HANDLE file, const std::wstring& path, bool replace)
{
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + path.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->FileNameLength = DWORD(path.size() * sizeof(wchar_t));
    std::copy(path.begin(), path.end(), rename->FileName);
    // POSIX semantics replace a file others have open (with leave to delete
    // it), which the old form refuses as long as anyone has it open.
    rename->Flags = FILE_RENAME_FLAG_POSIX_SEMANTICS | FILE_RENAME_FLAG_REPLACE_IF_EXISTS;
    if (replace && ::SetFileInformationByHandle(file, kRenameInfoEx, rename, DWORD(buffer.size())))
        return true;
    if (replace && !newerFormRefused(::GetLastError()))
        return false;
    rename->Flags = 0;
    rename->ReplaceIfExists = replace;
    return ::SetFileInformationByHandle(file, FileRenameInfo, rename, DWORD(buffer.size()));
}

bool newerFormRefused(DWORD error)
{
    return error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION;
}

bool nameTakenBy(DWORD error, bool deletePending)
{
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS || error == ERROR_DELETE_PENDING
        || (error == ERROR_ACCESS_DENIED && deletePending);
}

bool lastErrorIsDeletePending()
{
    // The status the system translated into the last error; not in the import libraries.
    using LastStatus = LONG(WINAPI*)();
    static const auto lastStatus = reinterpret_cast<LastStatus>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "RtlGetLastNtStatus")));
    constexpr LONG kDeletePending = LONG(0xC0000056);
    return lastStatus && lastStatus() == kDeletePending;
}

bool retriedWhileHeld(const std::function<bool()>& attempt, const Wait& wait)
{
    // 10 + 20 + ... + 320 ms: a scanner is usually done within the first few.
    for (DWORD pause = 10;; pause *= 2) {
        if (attempt())
            return true;
        const DWORD error = ::GetLastError();
        const bool held
            = (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED) && !lastErrorIsDeletePending();
        ::SetLastError(error);
        if (!held || pause > 320)
            return false;
        wait(pause);
    }
}

HANDLE openAlone(const std::wstring& path, DWORD access)
{
    HANDLE file = ::CreateFileW(path.c_str(), access, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    BY_HANDLE_FILE_INFORMATION info {};
    if (file != INVALID_HANDLE_VALUE
        && (::GetFileType(file) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file, &info)
            || (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))) {
        ::CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

std::string temporaryName(const std::string& dir)
{
    static std::atomic<unsigned> counter {0};
    return dir + ".chunkpicker-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++counter) + ".tmp";
}

namespace {

OVERLAPPED overlappedAt(std::int64_t offset)
{
    OVERLAPPED at {};
    at.Offset = DWORD(std::uint64_t(offset) & 0xffffffffu);
    at.OffsetHigh = DWORD(std::uint64_t(offset) >> 32);
    return at;
}

} // namespace

bool readAt(HANDLE file, void* buffer, DWORD length, std::int64_t offset, DWORD* got)
{
    OVERLAPPED at = overlappedAt(offset);
    *got = 0;
    if (::ReadFile(file, buffer, length, got, &at))
        return true;
    return ::GetLastError() == ERROR_HANDLE_EOF; // past the end: nothing read
}

bool writeAt(HANDLE file, const void* buffer, DWORD length, std::int64_t offset)
{
    OVERLAPPED at = overlappedAt(offset);
    DWORD written = 0;
    return ::WriteFile(file, buffer, length, &written, &at) && written == length;
}

} // namespace cp::win32
