// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the Windows file code shares between its files; no other file includes it.

#include "FileIo.h"
#include "FileError.h"

#include <windows.h>

#include <string>

namespace cp::win32 {

// A path for the wide-character calls. Our paths are UTF-8; one that is not,
// or whose text from nameAt on is no name Windows can hold (a name to be
// created), is refused with a message that says why rather than the system's
// vague one, or a file of another name. false and *problem set when refused.
bool toWide(const std::string& path, std::wstring* wide, std::string* problem, std::size_t nameAt = std::string::npos);
// The same, throwing FileError for the operation on path.
std::wstring widePath(FileError::Operation operation, const std::string& path, std::size_t nameAt = std::string::npos);
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

// Marks an open file for deletion when its last handle closes, or takes the mark off.
bool markForDeletion(HANDLE file, bool deleted);

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
