// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileIo.h"

#include "FileError.h"
#include "Win32Files.h"
#include "base/PathHelpers.h"

#include <aclapi.h>

#include <algorithm>
#include <cerrno>
#include <utility>
#include <vector>

namespace cp {

using win32::native;

namespace {

// As on Linux: a stop or a progress report is never long in coming.
constexpr std::int64_t kCopyPiece = std::int64_t(8) << 20;
constexpr std::int64_t kBuffer = std::int64_t(1) << 20;

// The replacement takes over the permissions of the file it replaces: its
// access list (what comes from the folder the new file inherits anyway) and
// the attributes that are more than a state (hidden, system). The right to
// change an access list is asked for here only: a share that refuses it must
// not refuse every new file.
bool takeOver(const std::wstring& old, DWORD attributes, HANDLE file)
{
    PACL access = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoW(old.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &access,
                                nullptr, &descriptor)
        == ERROR_SUCCESS) {
        SECURITY_DESCRIPTOR_CONTROL control = 0;
        DWORD revision = 0;
        ::GetSecurityDescriptorControl(descriptor, &control, &revision);
        const DWORD inheritance
            = control & SE_DACL_PROTECTED ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION;
        HANDLE permissions
            = ::ReOpenFile(file, READ_CONTROL | WRITE_DAC, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0);
        const DWORD error = permissions == INVALID_HANDLE_VALUE
            ? ::GetLastError()
            : ::SetSecurityInfo(permissions, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | inheritance, nullptr, nullptr,
                                access, nullptr);
        if (permissions != INVALID_HANDLE_VALUE)
            ::CloseHandle(permissions);
        ::LocalFree(descriptor);
        if (error != ERROR_SUCCESS) {
            ::SetLastError(error);
            return false;
        }
    }
    FILE_BASIC_INFO basic {};
    basic.FileAttributes
        = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (basic.FileAttributes == 0)
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return ::SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic);
}

} // namespace

SourceReader::SourceReader(const std::string& path) : m_path(path)
{
    using Operation = FileError::Operation;
    const std::wstring wide = win32::widePath(Operation::Open, path);
    // Others may go on writing, renaming or deleting it, as on Linux. A folder
    // opens too (backup semantics), to be refused below with its own reason.
    HANDLE file = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        win32::fail(Operation::Open, path, ::GetLastError());
    BY_HANDLE_FILE_INFORMATION info {};
    LARGE_INTEGER size {};
    const bool known = ::GetFileInformationByHandle(file, &info);
    const DWORD error = ::GetLastError();
    const bool disk = ::GetFileType(file) == FILE_TYPE_DISK;
    const bool sized = ::GetFileSizeEx(file, &size);
    if (!known || !disk || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !sized) {
        ::CloseHandle(file);
        if (!known)
            win32::fail(Operation::Open, path, error);
        if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            throw FileError(Operation::Open, path, EISDIR, "ist ein Verzeichnis");
        // A pipe or device has no length to cut entries against.
        throw FileError(Operation::Open, path, EINVAL, "keine gewöhnliche Datei");
    }
    m_file = file;
    m_size = size.QuadPart;
}

SourceReader::~SourceReader()
{
    if (m_file != kNoFile)
        ::CloseHandle(native(m_file));
}

std::size_t SourceReader::readAt(void* buffer, std::size_t length, std::int64_t offset) const
{
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < length) {
        const DWORD piece = DWORD(std::min<std::size_t>(length - done, std::size_t(1) << 30));
        DWORD got = 0;
        if (!win32::readAt(native(m_file), out + done, piece, offset + std::int64_t(done), &got))
            win32::fail(FileError::Operation::Read, m_path, ::GetLastError());
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

bool unnamedFilesCanBeNamed()
{
    return true;
}

// The file is made under a temporary name, hidden, and marked for deletion at
// once: Windows closes a dead process's handles, so a run killed at any point
// leaves nothing. Shared for reading and deletion only, so that a sweep, which
// wants a file alone, cannot take it while it is written.
FileWriter::FileWriter(const std::string& folder, std::string displayName, bool)
    : m_folder(withTrailingSeparator(folder))
    , m_displayName(std::move(displayName))
{
    for (;;) {
        const std::string temp = win32::temporaryName(m_folder);
        std::wstring wide;
        std::string problem;
        if (!win32::toWide(temp, &wide, &problem))
            throw FileError(FileError::Operation::Create, m_displayName, EINVAL, problem);
        HANDLE file
            = ::CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                            nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD error = ::GetLastError();
            if (win32::nameTakenBy(error, win32::lastErrorIsDeletePending()))
                continue; // left by a run of the same pid, or another host's, or just deleted
            win32::fail(FileError::Operation::Create, m_displayName, error);
        }
        m_file = file;
        m_tempPath = temp;
        if (!win32::markForDeletion(file, true))
            fail(int(::GetLastError()));
        return;
    }
}

FileWriter::~FileWriter()
{
    discard();
}

void FileWriter::discard()
{
    if (m_file != kNoFile) {
        win32::markForDeletion(native(m_file), true); // it may have lost the mark on the way to its name
        ::CloseHandle(native(m_file));
    }
    m_file = kNoFile;
    m_tempPath.clear();
}

// error is a Windows error code here.
void FileWriter::fail(int error)
{
    discard();
    win32::fail(FileError::Operation::Write, m_displayName, DWORD(error));
}

bool FileWriter::publish(const std::string& path, FileIdentity* identity, bool replace)
{
    HANDLE file = native(m_file);
    // What follows the folder becomes one name: never a path into another folder or a stream.
    const bool inFolder = path.size() > m_folder.size() && path.compare(0, m_folder.size(), m_folder) == 0;
    std::wstring wide;
    std::string problem;
    if (!win32::toWide(path, &wide, &problem, inFolder ? m_folder.size() : win32::lastNameAt(path))) {
        discard();
        throw FileError(FileError::Operation::Create, path, EINVAL, problem);
    }
    // On disk before it has its name, so a name never shows less than the whole file.
    FILE_BASIC_INFO basic {};
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!::FlushFileBuffers(file) || !::SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic))
        fail(int(::GetLastError()));
    const DWORD existing = replace ? ::GetFileAttributesW(wide.c_str()) : INVALID_FILE_ATTRIBUTES;
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY)) {
        m_displayName = path;
        fail(ERROR_ACCESS_DENIED); // as Windows itself refuses it, whatever file system or emulation lies below
    }
    // Unmarked first: a file pending deletion opens no further handle, and
    // taking over permissions needs one. A failure marks it again.
    if (!win32::markForDeletion(file, false))
        fail(int(::GetLastError()));
    if (existing != INVALID_FILE_ATTRIBUTES && !(existing & FILE_ATTRIBUTE_DIRECTORY)
        && !takeOver(wide, existing, file))
        fail(int(::GetLastError()));
    // Renamed through the handle, which holds the file to the end. Never over
    // a file or folder unless told to replace; then in one step, as a rename
    // over a file is on Linux.
    if (!win32::retriedWhileHeld([&] { return win32::renameTo(file, wide, replace); })) {
        const DWORD error = ::GetLastError();
        const bool deletePending = win32::lastErrorIsDeletePending();
        win32::markForDeletion(file, true);
        if (win32::nameTakenBy(error, deletePending) && !replace)
            return false;
        m_displayName = path;
        fail(int(error));
    }
    m_tempPath.clear();
    FileIdentity complete;
    const bool known = win32::identityOf(file, &complete);
    ::CloseHandle(file);
    m_file = kNoFile;
    // The time the close gave it. Should the name hold another file by now,
    // the record fits neither, and that file is never taken for ours.
    WIN32_FILE_ATTRIBUTE_DATA closed {};
    if (::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &closed))
        complete.modifiedNs = win32::nanoseconds(closed.ftLastWriteTime);
    *identity = known ? complete : FileIdentity {};
    return true;
}

void FileWriter::startWriteBack()
{
}

void FileWriter::copyFrom(const SourceReader& source, std::int64_t offset, std::int64_t length,
                          const KeepGoing& keepGoing)
{
    // Windows offers no copy between ranges of two files: through a buffer.
    std::vector<unsigned char> buffer(std::size_t(std::clamp<std::int64_t>(length, 1, kBuffer)));
    std::int64_t done = 0;
    while (done < length) {
        if (keepGoing && !keepGoing(done)) {
            discard();
            throw CopyStopped();
        }
        const std::int64_t pieceEnd = std::min(length, done + kCopyPiece);
        while (done < pieceEnd) {
            const auto want = std::size_t(std::min<std::int64_t>(std::int64_t(buffer.size()), pieceEnd - done));
            const std::size_t got = source.readAt(buffer.data(), want, offset + done);
            if (got == 0) {
                const std::string path = source.path();
                discard();
                throw FileError(FileError::Operation::Read, path, EIO, "die Datei wurde während der Suche gekürzt");
            }
            DWORD written = 0;
            if (!::WriteFile(native(m_file), buffer.data(), DWORD(got), &written, nullptr))
                fail(int(::GetLastError()));
            if (written != got)
                fail(ERROR_DISK_FULL); // a write that takes less and says nothing is a full disk
            done += std::int64_t(got);
        }
    }
}

bool nameTaken(const std::string& path)
{
    const std::wstring wide = win32::widePath(FileError::Operation::Inspect, path, win32::lastNameAt(path));
    // The attributes of a link itself, so that a dangling one counts too.
    if (::GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return false;
    if (win32::nameTakenBy(error, win32::lastErrorIsDeletePending()))
        return true; // a file pending deletion: not free before its last handle closes
    win32::fail(FileError::Operation::Inspect, path, error);
}

bool removeFileIfSame(const std::string& path, std::uint64_t device, std::uint64_t key)
{
    std::wstring wide;
    if (!win32::toWide(path, &wide, nullptr))
        return true; // no name this run could have made
    // Every sharing allowed, so that the test disturbs no one; deleted through
    // the handle tested, so that it is that file which goes. One held open
    // without leave to delete it (a player) cannot be opened: it stays ours.
    HANDLE file = ::CreateFileW(wide.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    FileIdentity identity;
    const bool ours = win32::identityOf(file, &identity) && identity.device == device && identity.key() == key;
    const bool gone = !ours || win32::markForDeletion(file, true);
    ::CloseHandle(file);
    return gone;
}

} // namespace cp
