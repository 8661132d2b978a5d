// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileIo.h"
#include "EntryFileName.h"
#include "LeftoverNames.h"
#include "PosixFiles.h"
#include "RunJournal.h"
#include "FileError.h"
#include "base/PathHelpers.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <vector>

namespace cp {

namespace {

using namespace leftovers;

// Opens name in the folder for locking, and only a regular file: never a
// link or a pipe someone placed there.
int openForSweep(int dirFd, const char* name)
{
    const int fd = TEMP_FAILURE_RETRY(::openat(dirFd, name, O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Whether name in the folder is still the file open as fd.
bool stillNamed(int dirFd, const char* name, int fd)
{
    struct stat named {
    }, open {};
    return ::fstatat(dirFd, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(fd, &open) == 0
        && named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

// Calls sweep(dirFd, name, fd) for every file of that form in folder whose
// lock could be had; the lock is held during the call.
template <typename Sweep>
void sweepUnlocked(const std::string& folder, const char* prefix, const char* suffix, Sweep&& sweep)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        if (!hasForm(entry->d_name, prefix, suffix))
            continue;
        const int fd = openForSweep(dirFd, entry->d_name);
        if (fd < 0)
            continue;
        if (posix::tryLockFile(fd) && stillNamed(dirFd, entry->d_name, fd))
            sweep(dirFd, entry->d_name, fd);
        ::close(fd);
    }
    ::closedir(dir);
}

// Whether the open record is one that a window of this user wrote: a plain file
// of ours, with one name, that only we could write, no larger than a window
// makes one. Anything else may be bait laid by someone else and is not read.
bool isOwnRecord(int fd)
{
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 07777) == 0600
        && st.st_nlink == 1 && st.st_size <= kJournalMaxBytes;
}

// Removes the entry files in folder (on device) that the record open as fd
// lists, reading it in large blocks; the first entry that cannot be one of
// the folder's files ends the reading.
// False when stopped before the end: the record stays for the next sweep.
bool removeRecordedFiles(int fd, const std::string& folder, std::uint64_t device, const std::stop_token& stop)
{
    std::uint64_t length = 0;
    if (::pread(fd, &length, sizeof length, 0) != ssize_t(sizeof length) || length == 0
        || length >= std::uint64_t(kJournalNameLimit))
        return true;
    std::string source(length, '\0');
    if (::pread(fd, source.data(), length, sizeof length) != ssize_t(length)
        || source.find_first_of(std::string("/\0", 2)) != std::string::npos)
        return true;
    constexpr std::size_t kEntriesPerRead = 2730; // 64 KiB
    std::vector<std::uint64_t> block(3 * kEntriesPerRead);
    for (off_t at = off_t(sizeof length + length);;) {
        const ssize_t got = TEMP_FAILURE_RETRY(::pread(fd, block.data(), block.size() * sizeof block[0], at));
        const std::size_t entries = got > 0 ? std::size_t(got) / (3 * sizeof block[0]) : 0;
        if (entries == 0)
            return true;
        for (std::size_t i = 0; i < entries; ++i) {
            if (stop.stop_requested())
                return false;
            const std::uint64_t* entry = &block[3 * i];
            if (std::int64_t(entry[0]) <= 0 || entry[1] != device)
                return true;
            removeFileIfSame(entryFileName(folder, std::int64_t(entry[0]), source), entry[1], entry[2]);
        }
        at += off_t(entries * 3 * sizeof block[0]);
    }
}

} // namespace

namespace posix {

bool tryLockFile(int fd)
{
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

std::string temporaryName(const std::string& dir)
{
    static std::atomic<unsigned> counter {0};
    return dir + kTempPrefix + std::to_string(::getpid()) + "-" + std::to_string(++counter) + kTempSuffix;
}

int createLockedTemporary(const std::string& dir, std::string* path)
{
    for (;;) {
        *path = temporaryName(dir);
        const int fd = TEMP_FAILURE_RETRY(::open(path->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd < 0) {
            if (errno == EEXIST)
                continue; // a pid of another namespace or host
            return -1;
        }
        // A sweep may have met the file before the lock: then it is gone, or
        // going, and another name is taken. A file system without locks
        // cannot be swept either.
        const bool locked = tryLockFile(fd) || errno == ENOLCK || errno == EINVAL;
        if (locked && stillNamed(AT_FDCWD, path->c_str(), fd))
            return fd;
        ::close(fd);
    }
}

bool mayFollowLink(const std::string& path, const struct stat& link)
{
    const auto cut = path.rfind(kPathSeparator);
    const std::string folder = cut == std::string::npos ? "." : path.substr(0, std::max<std::size_t>(cut, 1));
    struct stat dir {};
    if (::stat(folder.c_str(), &dir) != 0)
        return false;
    const bool shared = (dir.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
    return !shared || link.st_uid == ::geteuid() || link.st_uid == dir.st_uid;
}

} // namespace posix

void removeStaleTemporaries(const std::string& folder)
{
    sweepUnlocked(folder, kTempPrefix, kTempSuffix,
                  [](int dirFd, const char* name, int) { ::unlinkat(dirFd, name, 0); });
}

std::string linkTarget(const std::string& path)
{
    std::vector<char> target(4096);
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n <= 0 || std::size_t(n) >= target.size())
        return {};
    const std::string next(target.data(), std::size_t(n));
    const auto cut = path.rfind(kPathSeparator);
    return next.front() == kPathSeparator || cut == std::string::npos ? next : path.substr(0, cut + 1) + next;
}

std::string followLinks(const std::string& path)
{
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) { // as many as the kernel follows
        struct stat link {};
        if (::lstat(current.c_str(), &link) != 0 || !S_ISLNK(link.st_mode) || !posix::mayFollowLink(current, link))
            return current;
        std::string next = linkTarget(current);
        if (next.empty())
            return current;
        current = std::move(next);
    }
    return current;
}

void syncFolder(const std::string& folder)
{
    const int fd = TEMP_FAILURE_RETRY(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd < 0 || (::syncfs(fd) != 0 && !posix::flushNotOffered(errno))) {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        throw FileError(FileError::Operation::Write, folder, error);
    }
    ::close(fd);
}

// The record: the source's name, its length first, then one
// {number, device, key} for each entry file, in native byte order (only this
// machine's runs read it).
RunJournal::RunJournal(const std::string& folder)
{
    std::string dir = withTrailingSeparator(folder);
    for (unsigned attempt = 0; attempt < 100 && m_file < 0; ++attempt) {
        m_path = dir + kJournalPrefix + std::to_string(::getpid()) + "-" + std::to_string(attempt) + kJournalSuffix;
        m_file = TEMP_FAILURE_RETRY(::open(m_path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (m_file < 0) {
            if (errno == EEXIST)
                continue; // a window of the same pid in another namespace, or a dead one's
            break;
        }
        // Exactly 0600 whatever the umask: the sweep reads no record of another mode.
        if (posix::tryLockFile(m_file) && ::fchmod(m_file, 0600) == 0)
            break;
        // Unlocked, it would pass for a dead window's record, and of another
        // mode no sweep would read it: none rather.
        ::unlink(m_path.c_str());
        ::close(m_file);
        m_file = -1;
        break;
    }
    if (m_file < 0)
        m_path.clear();
}

RunJournal::~RunJournal()
{
    if (m_file < 0)
        return;
    ::unlink(m_path.c_str());
    ::close(m_file);
}

void RunJournal::beginScan(const std::string& source)
{
    if (m_file < 0)
        return;
    const std::string name = fileNamePart(source);
    const std::uint64_t length = name.size();
    m_end = std::int64_t(sizeof length + name.size());
    if (::ftruncate(m_file, 0) != 0 || ::pwrite(m_file, &length, sizeof length, 0) != ssize_t(sizeof length)
        || ::pwrite(m_file, name.data(), name.size(), sizeof length) != ssize_t(name.size()))
        m_end = -1; // unrecorded rather than misrecorded
}

void RunJournal::recordEntry(std::int64_t number, const FileIdentity& identity)
{
    if (m_file < 0 || m_end < 0)
        return;
    const std::uint64_t record[3] = {std::uint64_t(number), identity.device, identity.key()};
    if (m_end + std::int64_t(sizeof record) > kJournalMaxBytes)
        return; // past what a sweep reads; the files stay should the window be killed
    // A record cut short by a kill is one a reader does not take.
    if (::pwrite(m_file, record, sizeof record, off_t(m_end)) == ssize_t(sizeof record))
        m_end += std::int64_t(sizeof record);
}

void removeEntryFilesOfEndedRuns(const std::string& folder, std::stop_token stop)
{
    sweepUnlocked(folder, kJournalPrefix, kJournalSuffix, [&](int dirFd, const char* journal, int fd) {
        struct stat folderStatus {};
        if (!isOwnRecord(fd) || ::fstat(dirFd, &folderStatus) != 0)
            return; // left as it is
        if (removeRecordedFiles(fd, folder, std::uint64_t(folderStatus.st_dev), stop))
            ::unlinkat(dirFd, journal, 0);
    });
}

} // namespace cp
