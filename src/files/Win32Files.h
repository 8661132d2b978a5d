// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the Windows file code shares between its files, and its tests.

#include "FileIo.h"
#include "FileError.h"

#include <windows.h>

#include <functional>
#include <string>

namespace cp::win32 {

// A path for the wide-character calls, in systemPath's form. Our paths are
// UTF-8; one that is not, or whose text from nameAt on is no name Windows can
// hold (a name to be created), is refused with a message that says why rather
// than the system's vague one, or a file of another name. false and *problem
// set when refused.
bool toWide(const std::string& path, std::wstring* wide, std::string* problem, std::size_t nameAt = std::string::npos);
// The same, throwing FileError for the operation on path.
std::wstring widePath(FileError::Operation operation, const std::string& path, std::size_t nameAt = std::string::npos);
// The full form of a wide path with the prefix that lifts MAX_PATH
// (\\?\C:\..., \\?\UNC\server\share\...), so that a deep folder or a long name
// works whether or not the program declares itself long-path aware; path
// itself when the system cannot complete it.
std::wstring systemPath(const std::wstring& path);
// Where the last part of path begins.
std::size_t lastNameAt(const std::string& path);

// Throws FileError with the errno value that stands for error
// (errnoForWindowsError) and the system's own text.
[[noreturn]] void fail(FileError::Operation operation, const std::string& path, DWORD error);

// The identity FileIdentity records for an open file: volume serial number,
// file index and the time of the last write. A file written through a handle
// may take a later time when that handle closes: read it afresh then.
bool identityOf(HANDLE file, FileIdentity* identity);
std::int64_t nanoseconds(const FILETIME& time);

// Marks an open file for deletion, or takes the mark off. Where the file
// system can, the name goes as soon as this handle closes (POSIX semantics),
// even while others still read the file, so that it is free for a new file.
bool markForDeletion(HANDLE file, bool deleted);

// Renames an open file (opened with DELETE) to path, replacing a file there
// only when told to; then also one another program holds open, where the
// file system can.
bool renameTo(HANDLE file, const std::wstring& path, bool replace);

// Whether a call failed only because the system or file system does not know
// the newer form of a request (an older Windows, FAT, a network drive).
bool newerFormRefused(DWORD error);

// Whether creating a file failed because the name is taken: by a file or a
// folder, or by a file whose deletion is pending (which Windows reports as
// ACCESS_DENIED, with STATUS_DELETE_PENDING behind it).
bool nameTakenBy(DWORD error, bool deletePending);
// Whether the last error came from a name pending deletion.
bool lastErrorIsDeletePending();

// Tries attempt again, for at most about a second, while it fails because
// someone else holds the file: a virus scanner looks at every new file.
// wait(milliseconds) is Sleep but in tests. The last attempt's error stays.
using Wait = std::function<void(DWORD milliseconds)>;
bool retriedWhileHeld(const std::function<bool()>& attempt, const Wait& wait = ::Sleep);

// Opens an existing file alone: for deletion, and only while no one else has
// it open (a writer, a live window's record). INVALID_HANDLE_VALUE otherwise,
// and for anything but a plain file.
HANDLE openAlone(const std::wstring& path, DWORD access);

// A fresh temporary name in dir (which ends in the separator), the same form
// as on Linux: never one a clean-up sweep ignores.
std::string temporaryName(const std::string& dir);

// Reads or writes exactly length bytes at offset; false on any shortfall.
bool readAt(HANDLE file, void* buffer, DWORD length, std::int64_t offset, DWORD* got);
bool writeAt(HANDLE file, const void* buffer, DWORD length, std::int64_t offset);

inline HANDLE native(NativeFile file)
{
    return static_cast<HANDLE>(file);
}

} // namespace cp::win32
