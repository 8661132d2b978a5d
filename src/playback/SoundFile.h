// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct sf_private_tag;

namespace cp {

class SourceReader;

// A sound file opened for decoding (any format libsndfile reads: PCM,
// ADPCM, A-law, float...). Not open when the file is no decodable sound.
class SoundFile {
public:
    SoundFile() = default;
    explicit SoundFile(const std::string& path);
    ~SoundFile();
    SoundFile(SoundFile&& other) noexcept;
    SoundFile& operator=(SoundFile&& other) noexcept;
    SoundFile(const SoundFile&) = delete;
    SoundFile& operator=(const SoundFile&) = delete;

    bool isOpen() const { return m_file != nullptr; }
    std::int64_t frames() const { return m_frames; }
    int sampleRate() const { return m_rate; }
    int channels() const { return m_channels; }
    std::int64_t lengthMs() const; // whole milliseconds, rounded down

    // Reads up to frames frames of interleaved float samples; 0 at the end.
    std::int64_t read(float* interleaved, std::int64_t frames);
    bool seek(std::int64_t frame);

private:
    void close();
    sf_private_tag* m_file = nullptr;
    std::int64_t m_frames = 0;
    int m_rate = 0;
    int m_channels = 0;
};

// The playing time, in whole milliseconds, of the length bytes at offset
// (0-based) of source, read as a sound file of their own: what SoundFile
// gives for a file holding just them. Empty when they are no decodable sound.
std::optional<std::int64_t> soundLengthMs(const SourceReader& source, std::int64_t offset, std::int64_t length);

} // namespace cp
