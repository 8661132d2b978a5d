// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileIo.h"

#include "PosixFiles.h"
#include "FileError.h"
#include "base/PathHelpers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>
#include <vector>

namespace cp {

namespace {

// Small enough that a stop or a progress report is never long in coming.
constexpr std::int64_t kKernelCopyPiece = std::int64_t(8) << 20;
constexpr std::size_t kBufferedCopyPiece = std::size_t(1) << 20;

// Where the file system offers neither a rename that never replaces nor hard
// links (FAT, a phone through FUSE, some network shares): an empty file takes
// the name first, which succeeds only while nothing has it, and the complete
// file is renamed over that. A kill between the two leaves the empty file.
int renameOverReservation(const std::string& from, const std::string& to)
{
    const int reserved
        = TEMP_FAILURE_RETRY(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    struct stat mine {};
    if (reserved < 0 || ::fstat(reserved, &mine) != 0 || ::close(reserved) != 0)
        return -1; // what is left of a reservation is an empty file
    if (::rename(from.c_str(), to.c_str()) == 0)
        return 0;
    const int error = errno;
    struct stat named {};
    if (::lstat(to.c_str(), &named) == 0 && named.st_dev == mine.st_dev && named.st_ino == mine.st_ino)
        ::unlink(to.c_str());
    // A file system that will not rename over a file at all: a failure, not a
    // name taken, or the entries would try every number in turn.
    errno = error == EEXIST ? EPERM : error;
    return -1;
}

// Whether path is another user's symbolic link, which a sticky folder keeps
// the user from replacing.
bool strangersLink(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && st.st_uid != ::geteuid();
}

} // namespace

namespace posix {

FileIdentity identityOf(const struct stat& st)
{
    return {std::uint64_t(st.st_dev), std::uint64_t(st.st_ino),
            std::int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

} // namespace posix

SourceReader::SourceReader(const std::string& path) : m_path(path)
{
    // Non-blocking so that a pipe is refused below instead of waiting for a writer.
    m_file = TEMP_FAILURE_RETRY(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (m_file < 0)
        throw FileError(FileError::Operation::Open, path, errno);
    struct stat st {};
    if (::fstat(m_file, &st) != 0) {
        const int error = errno;
        ::close(m_file);
        throw FileError(FileError::Operation::Open, path, error);
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(m_file);
        throw FileError(FileError::Operation::Open, path, EISDIR);
    }
    if (!S_ISREG(st.st_mode)) {
        // A pipe or device has no length to cut entries against.
        ::close(m_file);
        throw FileError(FileError::Operation::Open, path, EINVAL, "keine gewöhnliche Datei");
    }
    m_size = st.st_size;
}

SourceReader::~SourceReader()
{
    if (m_file >= 0)
        ::close(m_file);
}

std::size_t SourceReader::readAt(void* buffer, std::size_t length, std::int64_t offset) const
{
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n
            = TEMP_FAILURE_RETRY(::pread(m_file, out + done, length - done, off_t(offset + std::int64_t(done))));
        if (n < 0)
            throw FileError(FileError::Operation::Read, m_path, errno);
        if (n == 0)
            break;
        done += std::size_t(n);
    }
    return done;
}

FileWriter::FileWriter(const std::string& folder, std::string displayName, bool unnamed)
    : m_folder(withTrailingSeparator(folder))
    , m_displayName(std::move(displayName))
{
    if (unnamed) {
        m_file = TEMP_FAILURE_RETRY(::open(m_folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
        if (m_file >= 0)
            return;
        const int error = errno;
        // No unnamed files on this file system: a temporary name instead.
        if (error != EOPNOTSUPP && error != EISDIR && error != EINVAL && error != ENOENT)
            throw FileError(FileError::Operation::Create, m_displayName, error);
    }
    m_file = posix::createLockedTemporary(m_folder, &m_tempPath);
    if (m_file < 0) {
        const int error = errno;
        m_tempPath.clear();
        throw FileError(FileError::Operation::Create, m_displayName, error);
    }
}

FileWriter::~FileWriter()
{
    discard();
}

void FileWriter::discard()
{
    // Unlinked before the close lets go of the lock, so no sweep meets it half.
    if (!m_tempPath.empty())
        ::unlink(m_tempPath.c_str());
    if (m_file >= 0)
        ::close(m_file);
    m_file = -1;
    m_tempPath.clear();
}

void FileWriter::fail(int error)
{
    discard();
    throw FileError(FileError::Operation::Write, m_displayName, error);
}

bool FileWriter::publish(const std::string& path, FileIdentity* identity, bool replace)
{
    if (replace) {
        // The replacement keeps the owner and permissions of the file it replaces.
        // Not through a link: path is the file itself, or a link that is not
        // followed and whose target is none of this file's business.
        struct stat old {};
        if (::lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
            [[maybe_unused]] const int owned = ::fchown(m_file, old.st_uid, old.st_gid); // only root may give away
            if (::fchmod(m_file, old.st_mode & 07777) != 0 && !posix::permissionsNotKept(errno))
                fail(errno);
        }
        // The old file goes in the rename; the new one must be on disk by then.
        if (::fsync(m_file) != 0 && !posix::flushNotOffered(errno))
            fail(errno);
        // A link never replaces: a temporary name first, renamed over the old
        // file; locked before it has the name, so that no sweep takes it.
        if (m_tempPath.empty())
            posix::tryLockFile(m_file);
        while (m_tempPath.empty()) {
            const std::string temp = posix::temporaryName(m_folder);
            if (posix::linkUnnamedFile(m_file, temp) == 0)
                m_tempPath = temp;
            else if (const int error = errno; error != EEXIST)
                fail(error);
        }
    }
    int linked;
    int error = 0;
    if (m_tempPath.empty()) {
        linked = posix::linkUnnamedFile(m_file, path);
        error = errno;
    } else if (replace) {
        linked = ::rename(m_tempPath.c_str(), path.c_str());
        error = errno;
    } else {
        linked = ::renameat2(AT_FDCWD, m_tempPath.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE);
        error = errno;
        if (linked != 0 && posix::namingNotOffered(error)) {
            // No such rename here: a hard link never replaces either.
            linked = ::link(m_tempPath.c_str(), path.c_str());
            error = errno;
            if (linked == 0) {
                ::unlink(m_tempPath.c_str());
            } else if (posix::namingNotOffered(error)) {
                linked = renameOverReservation(m_tempPath, path);
                error = errno;
            }
        }
    }
    if (linked != 0) {
        if (error == EEXIST && !replace)
            return false;
        if (replace && error == EPERM && strangersLink(path)) {
            discard();
            throw FileError(FileError::Operation::Write, path, error,
                            "Die Datei ist eine Verknüpfung eines anderen Benutzers, die dieser Ordner nicht "
                            "ersetzen lässt; ihr Ziel wird nicht beschrieben.");
        }
        m_displayName = path;
        fail(error);
    }
    m_tempPath.clear();
    struct stat st {};
    const bool known = ::fstat(m_file, &st) == 0;
    const int fd = std::exchange(m_file, -1);
    // After a replacing rename the file is already on disk, and the old one gone.
    if (::close(fd) != 0) {
        error = errno;
        if (error != EINTR && !replace) {
            ::unlink(path.c_str());
            throw FileError(FileError::Operation::Write, path, error);
        }
    }
    *identity = known ? posix::identityOf(st) : FileIdentity {};
    return true;
}

void FileWriter::copyFrom(const SourceReader& source, std::int64_t offset, std::int64_t length,
                          const KeepGoing& keepGoing)
{
    auto sourceShrank = [&] {
        const std::string path = source.path();
        discard();
        throw FileError(FileError::Operation::Read, path, EIO, "die Datei wurde während der Suche gekürzt");
    };
    std::int64_t done = 0;
    auto checkStop = [&] {
        if (keepGoing && !keepGoing(done)) {
            discard();
            throw CopyStopped();
        }
    };

    bool kernelCopy = true;
    std::vector<unsigned char> buffer;
    while (done < length) {
        checkStop();
        if (kernelCopy) {
            loff_t in = offset + done;
            const auto piece = std::size_t(std::min(kKernelCopyPiece, length - done));
            const ssize_t n = TEMP_FAILURE_RETRY(::copy_file_range(source.handle(), &in, m_file, nullptr, piece, 0));
            if (n > 0) {
                done += n;
                continue;
            }
            if (n == 0)
                sourceShrank();
            const int error = errno;
            // Not offered between these two files: copy through a buffer instead.
            if (error == EXDEV || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP || error == EBADF) {
                kernelCopy = false;
                continue;
            }
            fail(error);
        }
        if (buffer.empty())
            buffer.resize(std::size_t(std::min<std::int64_t>(std::int64_t(kBufferedCopyPiece), length - done)));
        const auto piece = std::size_t(std::min<std::int64_t>(std::int64_t(buffer.size()), length - done));
        const std::size_t got = source.readAt(buffer.data(), piece, offset + done);
        if (got == 0)
            sourceShrank();
        std::size_t written = 0;
        while (written < got) {
            const ssize_t n = TEMP_FAILURE_RETRY(::write(m_file, buffer.data() + written, got - written));
            if (n < 0)
                fail(errno);
            if (n == 0)
                fail(ENOSPC); // a write that takes nothing and says nothing is a full disk
            written += std::size_t(n);
        }
        done += std::int64_t(got);
    }
}

void FileWriter::startWriteBack()
{
    // Only a request: whatever fails shows in the flush that follows.
    ::sync_file_range(m_file, 0, 0, SYNC_FILE_RANGE_WRITE);
}

bool nameTaken(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0)
        return true;
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR)
        return false;
    throw FileError(FileError::Operation::Inspect, path, error);
}

bool removeFileIfSame(const std::string& path, std::uint64_t device, std::uint64_t key)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        const int error = errno;
        return error == ENOENT || error == ENOTDIR;
    }
    if (std::uint64_t(st.st_dev) != device || posix::identityOf(st).key() != key || st.st_uid != ::getuid())
        return true; // someone else's file now
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

} // namespace cp
