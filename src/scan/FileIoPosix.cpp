#include "FileIo.h"

#include "ScanError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace cp {

namespace {

constexpr std::int64_t kKernelCopyPiece = std::int64_t(64) << 20;
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

bool EntryFileWriter::create(const std::string& path)
{
    discard();
    int fd;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (errno == EEXIST)
            return false;
        throw ScanError(ScanError::Operation::Create, path, errno);
    }
    m_fd = fd;
    m_path = path;
    return true;
}

EntryFileWriter::~EntryFileWriter()
{
    discard();
}

void EntryFileWriter::discard()
{
    if (m_fd < 0)
        return;
    ::close(m_fd);
    ::unlink(m_path.c_str());
    m_fd = -1;
    m_path.clear();
}

void EntryFileWriter::copyFrom(const SourceReader& source, std::int64_t offset, std::int64_t length,
                               const std::function<bool()>& keepGoing)
{
    auto fail = [&](int error) {
        const std::string path = m_path;
        discard();
        throw ScanError(ScanError::Operation::Write, path, error);
    };
    auto sourceShrank = [&] {
        const std::string path = source.path();
        discard();
        throw ScanError(ScanError::Operation::Read, path, EIO, "die Datei wurde während der Suche gekürzt");
    };
    auto checkStop = [&] {
        if (keepGoing && !keepGoing()) {
            discard();
            throw ScanStopped();
        }
    };

    std::int64_t done = 0;
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

void EntryFileWriter::commit()
{
    if (m_fd < 0)
        return;
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR) {
        const int error = errno;
        ::unlink(m_path.c_str());
        throw ScanError(ScanError::Operation::Write, m_path, error);
    }
    m_path.clear();
}

bool FileExists(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0)
        return !S_ISDIR(st.st_mode);
    if (errno == ENOENT || errno == ENOTDIR)
        return false;
    throw ScanError(ScanError::Operation::Inspect, path, errno);
}

bool RemoveFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

} // namespace cp
