#include "Fixtures.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

extern char** environ;

namespace cptest {

TempDir::TempDir()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/cptest-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

void WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> ListFolder(const std::string& path)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path))
        names.push_back(entry.path().filename().string());
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

Bytes Junk(std::size_t count, unsigned seed)
{
    Bytes bytes(count);
    std::uint32_t state = seed * 2654435761u + 1;
    for (auto& b : bytes) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<unsigned char>(state >> 24);
        if (b == 'R')
            b = 'r'; // no tag can start here
    }
    return bytes;
}

namespace {
void Put16(Bytes& b, unsigned v)
{
    b.push_back(v & 0xff);
    b.push_back((v >> 8) & 0xff);
}
void Put32(Bytes& b, std::uint32_t v)
{
    Put16(b, v & 0xffff);
    Put16(b, v >> 16);
}
} // namespace

Bytes MakeWave(unsigned sampleRate, unsigned milliseconds, double frequency, unsigned channels)
{
    const std::uint32_t frames = std::uint32_t(std::uint64_t(sampleRate) * milliseconds / 1000);
    const std::uint32_t dataSize = frames * channels * 2;
    Bytes b = Text("RIFF");
    Put32(b, 36 + dataSize);
    const Bytes wave = Text("WAVEfmt ");
    b.insert(b.end(), wave.begin(), wave.end());
    Put32(b, 16);
    Put16(b, 1);
    Put16(b, channels);
    Put32(b, sampleRate);
    Put32(b, sampleRate * channels * 2);
    Put16(b, channels * 2);
    Put16(b, 16);
    const Bytes data = Text("data");
    b.insert(b.end(), data.begin(), data.end());
    Put32(b, dataSize);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double s = std::sin(2.0 * M_PI * frequency * i / sampleRate);
        const auto v = static_cast<std::int16_t>(std::lround(s * 12000));
        for (unsigned c = 0; c < channels; ++c)
            Put16(b, static_cast<std::uint16_t>(v));
    }
    return b;
}

RunResult RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const auto name = entry.substr(0, entry.find('='));
        const bool overridden = std::any_of(extraEnv.begin(), extraEnv.end(), [&](const std::string& x) {
            return x.substr(0, x.find('=')) == name;
        });
        if (!overridden)
            env.push_back(entry);
    }
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());

    TempDir capture;
    const std::string outPath = capture / "out", errPath = capture / "err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

    std::vector<char*> args, envp;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const auto& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    pid_t pid = 0;
    RunResult result;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data()) != 0)
        throw std::runtime_error("cannot start " + argv[0]);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.maxRssKiB = usage.ru_maxrss;
    const Bytes out = ReadFile(outPath), err = ReadFile(errPath);
    result.out.assign(out.begin(), out.end());
    result.err.assign(err.begin(), err.end());
    return result;
}

} // namespace cptest
