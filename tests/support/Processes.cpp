// SPDX-License-Identifier: GPL-3.0-or-later
// The fixtures that start programs and read the system's texts the POSIX way.
#include "Fixtures.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <locale.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cerrno>
#include <cstring>

namespace cptest {

std::string GermanSystemMessage(int error)
{
    const locale_t german = ::newlocale(LC_ALL_MASK, "de_DE.UTF-8", locale_t(nullptr));
    if (!german)
        return std::strerror(error);
    const std::string text = ::strerror_l(error, german);
    ::freelocale(german);
    return text;
}

Program::Program(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv)
{
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const std::string out = m_capture / "out", err = m_capture / "err";
    m_pid = ::fork();
    if (m_pid < 0)
        ADD_FAILURE() << "fork: " << std::strerror(errno);
    if (m_pid == 0) {
        // A test ended early (a timeout) takes its program with it, rather than leaving it running.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        // Opened close-on-exec: the program gets its three descriptors and no others of ours.
        ::dup2(::open("/dev/null", O_RDONLY | O_CLOEXEC), 0);
        ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600), 1);
        ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600), 2);
        ::close_range(3, ~0U, 0); // nor any the test itself inherited
        for (const auto& setting : extraEnv)
            ::putenv(::strdup(setting.c_str()));
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
}

RunResult Program::Wait()
{
    // Waiting on -1 would reap any child and could read another's status as this one's.
    if (m_pid < 0)
        return {-1, "", "fork failed", 0};
    int status = 0;
    struct rusage usage {};
    // A program that runs away is ended after two minutes instead of filling the disk under a hung test.
    for (int polls = 0; ::wait4(m_pid, &status, WNOHANG, &usage) == 0; ++polls) {
        if (polls < 12'000)
            ::usleep(10'000);
        else
            ::kill(m_pid, SIGKILL);
    }
    const Bytes out = ReadFile(m_capture / "out"), err = ReadFile(m_capture / "err");
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), std::string(out.begin(), out.end()),
            std::string(err.begin(), err.end()), usage.ru_maxrss};
}

} // namespace cptest
