#include "SoundFile.h"

#include <sndfile.h>

#include <utility>

namespace cp {

namespace {
// Beyond this a header is lying; such a file is not worth playing.
constexpr int kMaxChannels = 64;
constexpr int kMaxRate = 1'536'000;
} // namespace

SoundFile::SoundFile(const std::string& path)
{
    SF_INFO info {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return;
    if (info.samplerate <= 0 || info.samplerate > kMaxRate || info.channels <= 0 || info.channels > kMaxChannels
        || info.frames < 0) {
        sf_close(file);
        return;
    }
    // Samples come out as floats in -1..1 whatever the stored format.
    sf_command(file, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
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
    if (!m_file || m_rate <= 0)
        return 0;
    // Split to keep frames * 1000 from overflowing on absurd frame counts.
    return m_frames / m_rate * 1000 + m_frames % m_rate * 1000 / m_rate;
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
