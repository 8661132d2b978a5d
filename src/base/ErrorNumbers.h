// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Apart from the report itself, so that code without Qt can name them: the
// file-type registration as well as the window's report.

namespace cp {

// Error numbers shown in the report's caption "Fehler <n>". Stable across
// versions so that a user's report can be matched; the description beside
// the number is the system's own message.
namespace ErrorNumber {
inline constexpr int OutOfMemory = 7;       // no memory left for the command
inline constexpr int Internal = 51;         // anything the program did not expect
inline constexpr int FileNotFound = 53;     // the file is gone
inline constexpr int DeviceIo = 57;         // the disk or device failed
inline constexpr int DiskFull = 61;         // no space left, or a file-size limit reached
inline constexpr int PermissionDenied = 70; // not allowed to read or write there
inline constexpr int PathFileAccess = 75;   // not a file that can be read (a folder, a pipe...)
inline constexpr int PathNotFound = 76;     // a folder on the way does not exist
} // namespace ErrorNumber

// The report number for a system error (an errno value). A Windows error
// code goes through errnoForWindowsError (SystemErrors.h) first, so that it
// gets the number its errno counterpart gets on Linux.
int errorNumberForSystemError(int systemError);

} // namespace cp
