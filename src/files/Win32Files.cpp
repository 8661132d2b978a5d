// SPDX-License-Identifier: GPL-3.0-or-later
#include "Win32Files.h"

#include "base/PathHelpers.h"
#include "base/SystemErrors.h"
#include "base/WideText.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cwctype>

namespace cp::win32 {

namespace {

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
    return why.empty();
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
    FILE_DISPOSITION_INFO disposition {};
    disposition.DeleteFile = deleted;
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
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
