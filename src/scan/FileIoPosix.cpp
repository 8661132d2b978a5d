#include "FileIo.h"

#include "ScanError.h"
#include "base/PathHelpers.h"

#include <dirent.h>
#include <signal.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <utility>
#include <cerrno>
#include <vector>

namespace cp {

namespace {

// Small enough that a stop or a progress report is never long in coming.
constexpr std::int64_t kKernelCopyPiece = std::int64_t(8) << 20;
constexpr std::size_t kBufferedCopyPiece = std::size_t(1) << 20;

} // namespace

SourceReader::SourceReader(const std::string& path)
    : m_path(path)
{
    do {
        // Non-blocking so that a pipe is refused below instead of waiting for a writer.
        m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (m_fd < 0 && errno == EINTR);
    if (m_fd < 0)
        throw ScanError(ScanError::Operation::Open, path, errno);
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) {
        const int error = errno;
        ::close(m_fd);
        throw ScanError(ScanError::Operation::Open, path, error);
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(m_fd);
        throw ScanError(ScanError::Operation::Open, path, EISDIR);
    }
    if (!S_ISREG(st.st_mode)) {
        // A pipe or device has no length to cut entries against.
        ::close(m_fd);
        throw ScanError(ScanError::Operation::Open, path, EINVAL, "keine gewöhnliche Datei");
    }
    m_size = st.st_size;
}

SourceReader::~SourceReader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::size_t SourceReader::readAt(void* buffer, std::size_t length, std::int64_t offset) const
{
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::pread(m_fd, out + done, length - done, off_t(offset + std::int64_t(done)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw ScanError(ScanError::Operation::Read, m_path, errno);
        }
        if (n == 0)
            break;
        done += std::size_t(n);
    }
    return done;
}

namespace {

constexpr const char* kTempPrefix = ".chunkpicker-";
constexpr const char* kTempSuffix = ".tmp";

int OpenRetrying(const char* path, int flags, mode_t mode = 0)
{
    int fd;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// The pid in a temporary name of ours, or 0 when the name is not one.
pid_t TempOwner(const std::string& name)
{
    const std::string prefix = kTempPrefix, suffix = kTempSuffix;
    if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0
        || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return 0;
    char* end = nullptr;
    const long pid = std::strtol(name.c_str() + prefix.size(), &end, 10);
    return pid > 0 && end && *end == '-' ? pid_t(pid) : 0;
}

std::string TemporaryName(const std::string& dir)
{
    static std::atomic<unsigned> counter {0};
    return dir + kTempPrefix + std::to_string(::getpid()) + "-" + std::to_string(++counter) + kTempSuffix;
}

FileIdentity Identity(const struct stat& st)
{
    return {std::uint64_t(st.st_dev), std::uint64_t(st.st_ino),
            std::int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

} // namespace

EntryFileWriter::EntryFileWriter(const std::string& folder, std::string displayName, bool unnamed)
    : m_folder(AddBackslash(folder))
    , m_displayName(std::move(displayName))
{
    const std::string& dir = m_folder;
    if (unnamed) {
        m_fd = OpenRetrying(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        // Naming it later goes through /proc; without it, use a temporary name.
        static const bool canName = ::access("/proc/self/fd", X_OK) == 0;
        if (m_fd >= 0 && !canName) {
            ::close(m_fd);
            m_fd = -1;
        }
        if (m_fd >= 0)
            return;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT)
            throw ScanError(ScanError::Operation::Create, m_displayName, errno);
    }
    for (;;) {
        m_tempPath = TemporaryName(dir);
        m_fd = OpenRetrying(m_tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0)
            return;
        if (errno != EEXIST) {
            m_tempPath.clear();
            throw ScanError(ScanError::Operation::Create, m_displayName, errno);
        }
    }
}

EntryFileWriter::~EntryFileWriter()
{
    discard();
}

void EntryFileWriter::discard()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_tempPath.empty())
        ::unlink(m_tempPath.c_str());
    m_fd = -1;
    m_tempPath.clear();
}

void EntryFileWriter::fail(int error)
{
    discard();
    throw ScanError(ScanError::Operation::Write, m_displayName, error);
}

bool EntryFileWriter::publish(const std::string& path, FileIdentity* identity, bool replace)
{
    const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
    if (replace) {
        // The old file goes in the rename; the new one must be on disk by then.
        if (::fsync(m_fd) != 0)
            fail(errno);
        // A link never replaces: a temporary name first, renamed over the old file.
        while (m_tempPath.empty()) {
            const std::string temp = TemporaryName(m_folder);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0)
                m_tempPath = temp;
            else if (errno != EEXIST)
                fail(errno);
        }
    }
    int linked;
    if (m_tempPath.empty()) {
        linked = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW);
    } else if (replace) {
        linked = ::rename(m_tempPath.c_str(), path.c_str());
    } else {
        linked = ::renameat2(AT_FDCWD, m_tempPath.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE);
        if (linked != 0 && (errno == EINVAL || errno == ENOSYS)) {
            // No such rename here: a hard link never replaces either.
            linked = ::link(m_tempPath.c_str(), path.c_str());
            if (linked == 0)
                ::unlink(m_tempPath.c_str());
        }
    }
    if (linked != 0) {
        const int error = errno;
        if (error == EEXIST && !replace)
            return false;
        m_displayName = path;
        fail(error);
    }
    m_tempPath.clear();
    struct stat st {};
    const bool known = ::fstat(m_fd, &st) == 0;
    const int fd = std::exchange(m_fd, -1);
    // After a replacing rename the file is already on disk, and the old one gone.
    if (::close(fd) != 0 && errno != EINTR && !replace) {
        const int error = errno;
        ::unlink(path.c_str());
        throw ScanError(ScanError::Operation::Write, path, error);
    }
    *identity = known ? Identity(st) : FileIdentity {};
    return true;
}

void RemoveStaleTemporaries(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const std::string base = AddBackslash(folder);
    while (const dirent* entry = ::readdir(dir)) {
        const pid_t owner = TempOwner(entry->d_name);
        if (owner > 0 && ::kill(owner, 0) != 0 && errno == ESRCH)
            ::unlink((base + entry->d_name).c_str());
    }
    ::closedir(dir);
}

void EntryFileWriter::copyFrom(const SourceReader& source, std::int64_t offset, std::int64_t length,
                               const KeepGoing& keepGoing)
{
    auto sourceShrank = [&] {
        const std::string path = source.path();
        discard();
        throw ScanError(ScanError::Operation::Read, path, EIO, "die Datei wurde während der Suche gekürzt");
    };
    std::int64_t done = 0;
    auto checkStop = [&] {
        if (keepGoing && !keepGoing(done)) {
            discard();
            throw ScanStopped();
        }
    };

    bool kernelCopy = true;
    std::vector<unsigned char> buffer;
    while (done < length) {
        checkStop();
        if (kernelCopy) {
            loff_t in = offset + done;
            const auto piece = std::size_t(std::min(kKernelCopyPiece, length - done));
            const ssize_t n = ::copy_file_range(source.handle(), &in, m_fd, nullptr, piece, 0);
            if (n > 0) {
                done += n;
                continue;
            }
            if (n == 0)
                sourceShrank();
            if (errno == EINTR)
                continue;
            // Not offered between these two files: copy through a buffer instead.
            if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP || errno == EBADF) {
                kernelCopy = false;
                continue;
            }
            fail(errno);
        }
        if (buffer.empty())
            buffer.resize(kBufferedCopyPiece);
        const auto piece = std::size_t(std::min<std::int64_t>(std::int64_t(buffer.size()), length - done));
        const std::size_t got = source.readAt(buffer.data(), piece, offset + done);
        if (got == 0)
            sourceShrank();
        std::size_t written = 0;
        while (written < got) {
            const ssize_t n = ::write(m_fd, buffer.data() + written, got - written);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                fail(errno);
            if (n == 0)
                fail(ENOSPC); // a write that takes nothing and says nothing is a full disk
            written += std::size_t(n);
        }
        done += std::int64_t(got);
    }
}

bool NameTaken(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0)
        return true;
    if (errno == ENOENT || errno == ENOTDIR)
        return false;
    throw ScanError(ScanError::Operation::Inspect, path, errno);
}

bool RemoveFileIfSame(const std::string& path, std::uint64_t device, std::uint64_t key)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR;
    if (std::uint64_t(st.st_dev) != device || Identity(st).key() != key)
        return true; // someone else's file now
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

} // namespace cp
