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
#include <thread>

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

Bytes MakeWave(unsigned sampleRate, unsigned milliseconds, double frequency)
{
    const std::uint32_t frames = std::uint32_t(std::uint64_t(sampleRate) * milliseconds / 1000);
    Bytes b;
    const auto put = [&b](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            b.push_back(static_cast<unsigned char>(value >> (8 * i)));
    };
    const auto text = [&b](const char* t) { b.insert(b.end(), t, t + 4); };
    text("RIFF");
    put(36 + frames * 2, 4);
    text("WAVE");
    text("fmt ");
    put(16, 4), put(1, 2), put(1, 2), put(sampleRate, 4), put(sampleRate * 2, 4), put(2, 2), put(16, 2);
    text("data");
    put(frames * 2, 4);
    for (std::uint32_t i = 0; i < frames; ++i)
        put(std::uint16_t(std::lround(12000 * std::sin(2.0 * M_PI * frequency * i / sampleRate))), 2);
    return b;
}

Program::Program(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const auto name = entry.substr(0, entry.find('=') + 1);
        if (std::none_of(extraEnv.begin(), extraEnv.end(), [&](const std::string& x) { return x.rfind(name, 0) == 0; }))
            env.push_back(entry);
    }
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, (m_capture / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, (m_capture / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> args, envp;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const auto& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    const int failed = posix_spawnp(&m_pid, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed)
        throw std::runtime_error("cannot start " + argv[0]);
}

RunResult Program::Wait()
{
    int status = 0;
    struct rusage usage {};
    ::wait4(m_pid, &status, 0, &usage);
    RunResult result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.maxRssKiB = usage.ru_maxrss;
    const Bytes out = ReadFile(m_capture / "out"), err = ReadFile(m_capture / "err");
    result.out.assign(out.begin(), out.end());
    result.err.assign(err.begin(), err.end());
    return result;
}

bool WaitUntil(const std::function<bool()>& done)
{
    for (int i = 0; i < 2000; ++i) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

} // namespace cptest
