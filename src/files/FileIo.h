// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FileIdentity.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace cp {

// The few file operations the scan and Save need, each checked to the last byte.
// One implementation per platform, picked by the build: FileIoPosix.cpp and
// LeftoversPosix.cpp, FileIoWin32.cpp and LeftoversWin32.cpp. Paths are
// UTF-8 on Windows, bytes elsewhere.

// The platform's handle of an open file.
#ifdef _WIN32
using NativeFile = void*; // a HANDLE
inline constexpr NativeFile kNoFile = nullptr;
#else
using NativeFile = int; // a file descriptor
inline constexpr NativeFile kNoFile = -1;
#endif

// How many copies run side by side, while a scan writes its entries and
// while they are saved: two keep two cores busy once the search is over;
// more only take turns at the same disk.
inline constexpr unsigned kParallelCopies = 2;

// A source file opened for reading only.
class SourceReader {
public:
    explicit SourceReader(const std::string& path); // throws FileError
    ~SourceReader();
    SourceReader(const SourceReader&) = delete;
    SourceReader& operator=(const SourceReader&) = delete;

    std::int64_t size() const { return m_size; }
    // Reads up to length bytes at offset (0-based); fewer only at the end of the file.
    std::size_t readAt(void* buffer, std::size_t length, std::int64_t offset) const;
    NativeFile handle() const { return m_file; }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    NativeFile m_file = kNoFile;
    std::int64_t m_size = 0;
};

// A new file being written: a scan's entry file or Save's copy. It has no
// name (or a clearly temporary one where the file system cannot hold unnamed
// files) until publish(), so a run that is killed or fails never leaves a
// partial file under a final name; destroyed before publish(), it leaves
// nothing.
class FileWriter {
public:
    // Opens the file in folder; displayName is what errors call it until it
    // is published. unnamed = false skips straight to the temporary name; pass
    // unnamedFilesCanBeNamed() rather than true. Throws FileError.
    FileWriter(const std::string& folder, std::string displayName, bool unnamed = true);
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // Told the bytes copied so far between pieces; false stops the copy.
    using KeepGoing = std::function<bool(std::int64_t copied)>;

    // Copies length bytes of source from offset into the file, in bounded
    // pieces and inside the kernel where it can; between pieces keepGoing is
    // asked and the copy ends with CopyStopped when it says no.
    void copyFrom(const SourceReader& source, std::int64_t offset, std::int64_t length, const KeepGoing& keepGoing);

    // Has the system start writing the complete file to disk without waiting
    // for it, where a flush of the whole folder comes later: the flush then
    // finds less to do. Nothing on Windows, where each file is flushed whole
    // before it takes its name.
    void startWriteBack();

    // Gives the complete file its final name and closes it. Without replace it
    // returns false (still unpublished) when a file or folder of that name
    // exists; with replace the file takes the place of an existing one in one
    // step, written to disk first, so the old one stays whole until then, and
    // with the old file's permissions. Throws FileError on any other failure.
    bool publish(const std::string& path, FileIdentity* identity, bool replace = false);

private:
    [[noreturn]] void fail(int error);
    void discard();
    std::string m_folder;
    std::string m_displayName;
    std::string m_tempPath; // empty while the file has no name at all
    NativeFile m_file = kNoFile;
};

// Whether a file opened without a name can be given one later; that goes
// through /proc, which sandboxes and some systems lack. Asked once per scan or
// copy, since a process may lose /proc meanwhile. On Windows a file being
// written is always a hidden temporary marked for deletion, which no kill
// leaves behind either: true.
bool unnamedFilesCanBeNamed();

// Removes the temporary files that runs killed in folder left behind. A
// writer holds a lock on its temporary for as long as it lives, so one still
// written is left alone whichever process, container or host writes it.
void removeStaleTemporaries(const std::string& folder);

// The file a path leads to through symbolic links (the path itself when it is
// none, or when a link leads nowhere yet: then where it points), following
// only the links the kernel's protected_symlinks rule would follow: in a
// sticky folder anyone may write to, another user's link is the name itself,
// never a way to a file of the user's. On Windows the path itself: links
// there are rare and need rights to make.
std::string followLinks(const std::string& path);

// Where the symbolic link at path points, a relative target taken from the
// link's folder; empty when path is no link (always on Windows).
std::string linkTarget(const std::string& path);

// Makes everything written to folder's file system so far durable; an error
// there means some of it may be lost. A file system that offers no flush
// (some FUSE and network file systems) is taken as it is. On Windows, where
// only an administrator may flush a whole volume, each entry file is flushed
// before it takes its name, and this flushes the folder's own record of the
// names. Throws FileError.
void syncFolder(const std::string& folder);

// Whether anything has that name: a file, a folder, a link (also a dangling
// one). Throws FileError when the test itself fails.
bool nameTaken(const std::string& path);

// Deletes path if it is still the file of that device (volume) and FileIdentity::key();
// true when that file is gone afterwards (also when it was gone before, or
// replaced by another). Another user's file is never deleted, also by root.
bool removeFileIfSame(const std::string& path, std::uint64_t device, std::uint64_t key);

} // namespace cp
