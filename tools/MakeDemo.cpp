// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the demo archive: a short tune of wave sounds in several formats,
// packed with junk between them, like sounds inside a game archive.
#include "base/ProgramEntry.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

void put(Bytes& b, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b.push_back((v >> (8 * i)) & 0xff);
}

void put(Bytes& b, const char* text)
{
    for (; *text; ++text)
        b.push_back(static_cast<unsigned char>(*text));
}

// A plucked note: a decaying sine with a little second harmonic.
Bytes pluckedNote(double frequency, unsigned rate, unsigned bits, unsigned channels, unsigned ms)
{
    const unsigned frames = rate * ms / 1000;
    const unsigned bytesPerSample = bits / 8;
    Bytes data;
    for (unsigned i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        const double envelope = std::exp(-3.0 * t) * std::min(1.0, t * 200.0);
        const double s
            = envelope * (0.8 * std::sin(2 * M_PI * frequency * t) + 0.2 * std::sin(4 * M_PI * frequency * t));
        for (unsigned c = 0; c < channels; ++c) {
            const double pan = channels == 2 ? (c == 0 ? 1.0 : 0.6) : 1.0;
            if (bits == 8)
                data.push_back(static_cast<unsigned char>(std::lround(128 + 100 * s * pan)));
            else
                put(data, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(26000 * s * pan))), 2);
        }
    }
    Bytes wave;
    put(wave, "RIFF");
    put(wave, 36 + std::uint32_t(data.size()), 4);
    put(wave, "WAVEfmt ");
    put(wave, 16, 4);
    put(wave, 1, 2);
    put(wave, channels, 2);
    put(wave, rate, 4);
    put(wave, rate * channels * bytesPerSample, 4);
    put(wave, channels * bytesPerSample, 2);
    put(wave, bits, 2);
    put(wave, "data");
    put(wave, std::uint32_t(data.size()), 4);
    wave.insert(wave.end(), data.begin(), data.end());
    return wave;
}

Bytes junkBytes(std::size_t count, std::uint32_t seed)
{
    Bytes b(count);
    for (auto& x : b) {
        seed = seed * 1664525u + 1013904223u;
        x = static_cast<unsigned char>(seed >> 24);
        if (x == 'R')
            x = 'r';
    }
    return b;
}

} // namespace

int programMain(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: chunkpicker-make-demo DEMOFILE\n");
        return 2;
    }
    struct Voice {
        double frequency;
        unsigned rate, bits, channels, ms;
    };
    // C major scale up, in changing formats.
    const Voice tune[] = {
        {261.63, 22050, 16, 1, 600}, {293.66, 11025, 8, 1, 600},   {329.63, 44100, 16, 2, 600},
        {349.23, 22050, 8, 2, 600},  {392.00, 16000, 16, 1, 600},  {440.00, 8000, 8, 1, 600},
        {493.88, 32000, 16, 2, 600}, {523.25, 44100, 16, 1, 3000},
    };
    Bytes archive;
    put(archive, "PACK"); // an archive header of sorts, which no entry covers
    archive.resize(64, 0);
    unsigned seed = 7;
    for (const Voice& v : tune) {
        const Bytes note = pluckedNote(v.frequency, v.rate, v.bits, v.channels, v.ms);
        archive.insert(archive.end(), note.begin(), note.end());
        const Bytes gap = junkBytes(300 + 97 * seed % 1500, seed);
        archive.insert(archive.end(), gap.begin(), gap.end());
        seed += 13;
    }
    // A RIFF form that is no sound: an entry all the same, and one that cannot play.
    put(archive, "RIFF");
    put(archive, 4 + 16, 4);
    put(archive, "AVI LIST");
    put(archive, 8, 4);
    put(archive, "hdrlavih");

    // A UTF-8 name reaches Windows as UTF-16 through the path.
    const std::string& name = arguments[0];
    std::ofstream out(std::filesystem::path(std::u8string(name.begin(), name.end())),
                      std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(archive.data()), std::streamsize(archive.size()));
    out.close();
    if (!out) {
        std::perror(name.c_str());
        return 1;
    }
    std::printf("%s\n", name.c_str());
    return 0;
}
