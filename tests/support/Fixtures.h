// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/PathHelpers.h"

#include <sys/types.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace cptest {

using Bytes = std::vector<unsigned char>;

// Paths are UTF-8 strings, as the engine takes them; these make and read the
// file system's own (UTF-16 on Windows).
std::filesystem::path native(const std::string& path);
std::string toUtf8(const std::filesystem::path& path);
// name in folder, with the platform's separator.
inline std::string operator/(const std::string& folder, const std::string& name)
{
    return folder + cp::kPathSeparator + name;
}

// A fresh folder under $TMPDIR, removed with everything in it on destruction.
struct TempDir {
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + cp::kPathSeparator + name; }
    std::string m_path;
};

void WriteFile(const std::string& path, const Bytes& bytes);
Bytes ReadFile(const std::string& path);
std::vector<std::string> ListFolder(const std::string& path); // sorted names, no . and ..
Bytes Text(const std::string& text);
Bytes Concat(std::initializer_list<Bytes> parts);
Bytes Junk(std::size_t count, unsigned seed = 1); // never holds the tag; seed varies it
// RIFF pieces: a little-endian number of so many bytes; a chunk (padded to an even size) with
// its size field or a declared one; a "fmt " body; a RIFF form with its size field or a given one.
Bytes Le(std::uint64_t value, int bytes);
Bytes Chunk(const std::string& id, const Bytes& body, std::int64_t declared = -1);
Bytes Fmt(std::uint16_t tag, std::uint16_t channels = 2, std::uint32_t rate = 44100, std::uint16_t bits = 16);
Bytes Riff(const std::string& form, const Bytes& chunks, std::int64_t sizeField = -1);
// A PCM wave file: a sine tone, mono 16-bit, with the given rate and length.
// A tar header block with a size field as it stands; its checksum is off by offBy.
Bytes TarHeader(const std::string& name, const Bytes& size, char type = '0', const std::string& magic = "ustar",
                int offBy = 0);
Bytes MakeWave(unsigned sampleRate, unsigned milliseconds, double frequency = 440.0);
// The system's text for an errno value (these last two: POSIX only) as the program prints it when started
// under German settings: in German where the machine has that locale.
std::string GermanSystemMessage(int error);
// Polls until done() holds or about ten seconds have passed.
bool WaitUntil(const std::function<bool()>& done);

// A program started with arguments and extra environment ("NAME=value");
// Wait() gives its exit status (or 128 + signal) and what it printed.
struct RunResult {
    int status = -1;
    std::string out, err;
    long maxRssKiB = 0;
};
struct Program {
    Program(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv = {});
#ifndef _WIN32 // programs are started the POSIX way only
    // Sends the program a signal; a program that never started gets none (a
    // pid of -1 would reach every process).
    void Signal(int signal) const
    {
        if (m_pid > 0)
            ::kill(m_pid, signal);
    }
#endif
    RunResult Wait();
    TempDir m_capture;
    pid_t m_pid = -1;
};
inline RunResult RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv = {})
{
    return Program(argv, extraEnv).Wait();
}

} // namespace cptest
