// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchSupport.h"

#include <filesystem>
#include <stdexcept>
#include <utility>

namespace cpbench {

namespace {
void put(std::vector<unsigned char>& b, std::uint32_t v, int n)
{
    for (int i = 0; i < n; ++i)
        b.push_back((v >> (8 * i)) & 0xff);
}
} // namespace

std::int64_t makeArchive(const std::string& path, int entries, std::size_t meanEntryBytes, std::size_t maxJunkBytes,
                         unsigned seed)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        throw std::runtime_error("cannot write " + path);
    std::uint32_t state = seed;
    auto next = [&] { return state = state * 1664525u + 1013904223u; };
    std::vector<unsigned char> b;
    std::int64_t total = 0;
    for (int e = 0; e < entries; ++e) {
        b.clear();
        const std::uint32_t data = std::uint32_t(meanEntryBytes / 2 + next() % meanEntryBytes) & ~1u;
        for (const char* t = "RIFF"; *t; ++t)
            b.push_back(std::uint8_t(*t));
        put(b, 36 + data, 4);
        for (const char* t = "WAVEfmt "; *t; ++t)
            b.push_back(std::uint8_t(*t));
        // PCM, mono, 22050 Hz, 16 bits.
        for (const auto& [value, bytes] :
             {std::pair {16u, 4}, {1u, 2}, {1u, 2}, {22050u, 4}, {44100u, 4}, {2u, 2}, {16u, 2}})
            put(b, value, bytes);
        for (const char* t = "data"; *t; ++t)
            b.push_back(std::uint8_t(*t));
        put(b, data, 4);
        const std::size_t junk = next() % maxJunkBytes;
        const std::size_t start = b.size();
        b.resize(start + data + junk);
        for (std::size_t i = start; i < b.size(); ++i) {
            std::uint8_t x = std::uint8_t(next() >> 24);
            b[i] = x == 'R' ? 'r' : x;
        }
        if (std::fwrite(b.data(), 1, b.size(), f) != b.size())
            throw std::runtime_error("short write to " + path);
        total += std::int64_t(b.size());
    }
    if (std::fclose(f) != 0)
        throw std::runtime_error("cannot close " + path);
    return total;
}

void removeTree(const std::string& path)
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

} // namespace cpbench
