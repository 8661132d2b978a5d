#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cptest {

using Bytes = std::vector<unsigned char>;

// A fresh folder under $TMPDIR, removed with everything in it on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

void WriteFile(const std::string& path, const Bytes& bytes);
Bytes ReadFile(const std::string& path);
std::vector<std::string> ListFolder(const std::string& path); // sorted names, no . and ..

Bytes Text(const std::string& text);
Bytes Concat(std::initializer_list<Bytes> parts);
// count bytes of junk that never contain the tag; seed varies the content.
Bytes Junk(std::size_t count, unsigned seed = 1);
// A PCM wave file: a sine tone, mono 16-bit, with the given rate and length.
Bytes MakeWave(unsigned sampleRate, unsigned milliseconds, double frequency = 440.0, unsigned channels = 1);

// Runs a program with arguments and extra environment; returns its exit
// status (or 128 + signal) and fills out/err with what it printed.
struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
    long maxRssKiB = 0;
};
RunResult RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv = {});

} // namespace cptest
