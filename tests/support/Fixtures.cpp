#include "Fixtures.h"

#include <fcntl.h>
#include <locale.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace cptest {

TempDir::TempDir()
{
    const char* base = std::getenv("TMPDIR");
    m_path = std::string(base && *base ? base : "/tmp") + "/cptest-XXXXXX";
    if (!::mkdtemp(m_path.data()))
        throw std::runtime_error("mkdtemp failed");
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

void WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size())))
        throw std::runtime_error("cannot write " + path);
}

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
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

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

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
    for (auto& b : bytes)
        b = (state = state * 1664525u + 1013904223u) >> 24 == 'R' ? 'r' : static_cast<unsigned char>(state >> 24);
    return bytes;
}

Bytes MakeWave(unsigned sampleRate, unsigned milliseconds, double frequency)
{
    const std::uint32_t frames = std::uint32_t(std::uint64_t(sampleRate) * milliseconds / 1000);
    Bytes b;
    b.reserve(44 + frames * 2);
    const auto put = [&b](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            b.push_back(static_cast<unsigned char>(value >> (8 * i)));
    };
    const auto text = [&put](const char* t) { put(std::uint32_t(t[0] | t[1] << 8 | t[2] << 16 | t[3] << 24), 4); };
    text("RIFF"), put(36 + frames * 2, 4), text("WAVE"), text("fmt ");
    put(16, 4), put(1, 2), put(1, 2), put(sampleRate, 4), put(sampleRate * 2, 4), put(2, 2), put(16, 2);
    text("data"), put(frames * 2, 4);
    for (std::uint32_t i = 0; i < frames; ++i)
        put(std::uint16_t(std::lround(12000 * std::sin(2.0 * M_PI * frequency * i / sampleRate))), 2);
    return b;
}

std::string GermanSystemMessage(int error)
{
    const locale_t german = ::newlocale(LC_ALL_MASK, "de_DE.UTF-8", locale_t(nullptr));
    const std::string text = german ? ::strerror_l(error, german) : std::strerror(error);
    if (german)
        ::freelocale(german);
    return text;
}

bool WaitUntil(const std::function<bool()>& done)
{
    for (int i = 0; i < 2000 && !done(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return done();
}

Program::Program(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv)
{
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const std::string out = m_capture / "out", err = m_capture / "err";
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(::open("/dev/null", O_RDONLY), 0);
        ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        for (const auto& setting : extraEnv)
            ::putenv(::strdup(setting.c_str()));
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
}

RunResult Program::Wait()
{
    int status = 0;
    struct rusage usage {};
    ::wait4(m_pid, &status, 0, &usage);
    const Bytes out = ReadFile(m_capture / "out"), err = ReadFile(m_capture / "err");
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), std::string(out.begin(), out.end()),
            std::string(err.begin(), err.end()), usage.ru_maxrss};
}

} // namespace cptest
