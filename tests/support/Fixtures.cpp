// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fixtures.h"

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <thread>

namespace cptest {

std::filesystem::path native(const std::string& path)
{
    return std::u8string(path.begin(), path.end());
}

std::string toUtf8(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

TempDir::TempDir()
{
    // $TMPDIR here, the user's temporary folder on Windows.
    static std::mt19937 random {std::random_device {}()};
    std::string base = toUtf8(std::filesystem::temp_directory_path());
    if (!base.empty() && base.back() == cp::kPathSeparator)
        base.pop_back();
    base += cp::kPathSeparator + std::string("cptest-");
    do
        m_path = base + std::to_string(random());
    while (!std::filesystem::create_directory(native(m_path)));
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(native(m_path), ignored);
}

void WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(native(path), std::ios::binary | std::ios::trunc);
    if (!out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size())))
        throw std::runtime_error("cannot write " + path);
}

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(native(path), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> ListFolder(const std::string& path)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(native(path)))
        names.push_back(toUtf8(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes Le(std::uint64_t value, int bytes)
{
    Bytes out;
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    return out;
}

Bytes Chunk(const std::string& id, const Bytes& body, std::int64_t declared)
{
    return Concat({Text(id), Le(declared < 0 ? body.size() : std::uint64_t(declared), 4), body,
                   body.size() % 2 ? Bytes {0} : Bytes {}});
}

Bytes Fmt(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits)
{
    return Concat({Le(tag, 2), Le(channels, 2), Le(rate, 4), Le(rate * channels * bits / 8, 4),
                   Le(channels * bits / 8, 2), Le(bits, 2)});
}

Bytes Riff(const std::string& form, const Bytes& chunks, std::int64_t sizeField)
{
    return Concat(
        {Text("RIFF"), Le(sizeField < 0 ? chunks.size() + 4 : std::uint64_t(sizeField), 4), Text(form), chunks});
}

Bytes TarHeader(const std::string& name, const Bytes& size, char type, const std::string& magic, int offBy)
{
    Bytes h(512, 0);
    std::copy(name.begin(), name.end(), h.begin());
    std::copy(size.begin(), size.end(), h.begin() + 124);
    h[156] = static_cast<unsigned char>(type);
    std::copy(magic.begin(), magic.end(), h.begin() + 257);
    unsigned sum = 8 * ' ' + offBy;
    for (const unsigned char c : h)
        sum += c;
    std::snprintf(reinterpret_cast<char*>(h.data()) + 148, 8, "%06o", sum);
    return h;
}

Bytes Junk(std::size_t count, unsigned seed)
{
    Bytes bytes(count);
    std::uint32_t state = seed * 2654435761u + 1;
    for (auto& b : bytes)
        b = (state = state * 1664525u + 1013904223u) >> 24 == 'R' ? 'r' : static_cast<unsigned char>(state >> 24);
    return bytes;
}

Bytes MakeWave(unsigned sampleRate, unsigned milliseconds, double frequency)
{
    const std::uint64_t frames = std::uint64_t(sampleRate) * milliseconds / 1000;
    Bytes data;
    for (std::uint64_t i = 0; i < frames; ++i)
        for (const unsigned char byte :
             Le(std::uint16_t(std::lround(12000 * std::sin(2.0 * M_PI * frequency * double(i) / sampleRate))), 2))
            data.push_back(byte);
    return Riff("WAVE", Concat({Chunk("fmt ", Fmt(1, 1, sampleRate, 16)), Chunk("data", data)}));
}

bool WaitUntil(const std::function<bool()>& done)
{
    for (int i = 0; i < 2000 && !done(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return done();
}

} // namespace cptest
