// SPDX-License-Identifier: GPL-3.0-or-later
#include "SoundFile.h"

#include "files/FileIo.h"

#include <fcntl.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>
#include <utility>

namespace cp {

namespace {
// Beyond this a header is lying; such a file is not worth playing.
constexpr int kMaxChannels = 64;
constexpr int kMaxRate = 1'536'000;

bool isPlausible(const SF_INFO& info)
{
    return info.samplerate > 0 && info.samplerate <= kMaxRate && info.channels > 0 && info.channels <= kMaxChannels
        && info.frames >= 0;
}

std::int64_t framesToMs(std::int64_t frames, int rate)
{
    // Split to keep frames * 1000 from overflowing on absurd frame counts.
    return frames / rate * 1000 + frames % rate * 1000 / rate;
}

// A stretch of a source file that libsndfile reads as a file of its own.
struct Stretch {
    const SourceReader& source;
    std::int64_t offset, length, at = 0;
};

SF_VIRTUAL_IO stretchIo()
{
    SF_VIRTUAL_IO io {};
    io.get_filelen = [](void* user) -> sf_count_t { return static_cast<Stretch*>(user)->length; };
    io.seek = [](sf_count_t offset, int whence, void* user) -> sf_count_t {
        auto& s = *static_cast<Stretch*>(user);
        const std::int64_t base = whence == SEEK_CUR ? s.at : whence == SEEK_END ? s.length : 0;
        if (base + offset < 0)
            return -1;
        return s.at = base + offset;
    };
    io.read = [](void* buffer, sf_count_t count, void* user) -> sf_count_t {
        auto& s = *static_cast<Stretch*>(user);
        const std::int64_t wanted = std::clamp<std::int64_t>(s.length - s.at, 0, count);
        try {
            const auto got = std::int64_t(s.source.readAt(buffer, std::size_t(wanted), s.offset + s.at));
            s.at += got;
            return got;
        } catch (...) { // a read error ends the sound where it stands
            return 0;
        }
    };
    io.write = [](const void*, sf_count_t, void*) -> sf_count_t { return 0; };
    io.tell = [](void* user) -> sf_count_t { return static_cast<Stretch*>(user)->at; };
    return io;
}

// The MPEG decoder behind libsndfile tells standard error about every frame
// it cannot read, and entries are often no MPEG sound at all; the user reads
// only this program's messages there. While a sound is opened, standard
// error leads to /dev/null; openings on several threads share that.
class ForeignMessagesMuted {
public:
    ForeignMessagesMuted()
    {
        const std::lock_guard<std::mutex> lock(s_mutex);
        if (s_users++ > 0)
            return;
        s_saved = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (s_saved >= 0 && null >= 0)
            ::dup2(null, STDERR_FILENO);
        if (null >= 0)
            ::close(null);
    }
    ~ForeignMessagesMuted()
    {
        const std::lock_guard<std::mutex> lock(s_mutex);
        if (--s_users > 0 || s_saved < 0)
            return;
        ::dup2(s_saved, STDERR_FILENO);
        ::close(s_saved);
        s_saved = -1;
    }
    ForeignMessagesMuted(const ForeignMessagesMuted&) = delete;
    ForeignMessagesMuted& operator=(const ForeignMessagesMuted&) = delete;

private:
    static inline std::mutex s_mutex;
    static inline int s_users = 0;
    static inline int s_saved = -1; // standard error as it was
};

} // namespace

SoundFile::SoundFile(const std::string& path)
{
    SF_INFO info {};
    const ForeignMessagesMuted muted;
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return;
    if (!isPlausible(info)) {
        sf_close(file);
        return;
    }
    // Read as floats, the samples come in -1..1 whatever the stored format (libsndfile's default).
    m_file = file;
    m_frames = info.frames;
    m_rate = info.samplerate;
    m_channels = info.channels;
}

SoundFile::~SoundFile()
{
    close();
}

SoundFile::SoundFile(SoundFile&& other) noexcept
    : m_file(std::exchange(other.m_file, nullptr))
    , m_frames(other.m_frames)
    , m_rate(other.m_rate)
    , m_channels(other.m_channels)
{
}

SoundFile& SoundFile::operator=(SoundFile&& other) noexcept
{
    if (this != &other) {
        close();
        m_file = std::exchange(other.m_file, nullptr);
        m_frames = other.m_frames;
        m_rate = other.m_rate;
        m_channels = other.m_channels;
    }
    return *this;
}

void SoundFile::close()
{
    if (m_file)
        sf_close(m_file);
    m_file = nullptr;
}

std::int64_t SoundFile::lengthMs() const
{
    return m_file && m_rate > 0 ? framesToMs(m_frames, m_rate) : 0;
}

std::optional<std::int64_t> soundLengthMs(const SourceReader& source, std::int64_t offset, std::int64_t length)
{
    Stretch stretch {source, offset, length};
    SF_VIRTUAL_IO io = stretchIo();
    SF_INFO info {};
    const ForeignMessagesMuted muted;
    SNDFILE* file = sf_open_virtual(&io, SFM_READ, &info, &stretch);
    if (!file)
        return std::nullopt;
    const bool plausible = isPlausible(info);
    sf_close(file);
    if (!plausible)
        return std::nullopt;
    return framesToMs(info.frames, info.samplerate);
}

std::int64_t SoundFile::read(float* interleaved, std::int64_t frames)
{
    if (!m_file || frames <= 0)
        return 0;
    const sf_count_t got = sf_readf_float(m_file, interleaved, frames);
    return got > 0 ? got : 0;
}

bool SoundFile::seek(std::int64_t frame)
{
    return m_file && sf_seek(m_file, frame, SEEK_SET) >= 0;
}

} // namespace cp
