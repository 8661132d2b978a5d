// SPDX-License-Identifier: GPL-3.0-or-later
// The fixtures that start programs and read the system's texts the POSIX way.
#include "Fixtures.h"

#include <fcntl.h>
#include <locale.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>

namespace cptest {

std::string GermanSystemMessage(int error)
{
    const locale_t german = ::newlocale(LC_ALL_MASK, "de_DE.UTF-8", locale_t(nullptr));
    const std::string text = german ? ::strerror_l(error, german) : std::strerror(error);
    german ? ::freelocale(german) : void();
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
    if (m_pid == 0) {
        // A test ended early (a timeout) takes its program with it, rather than leaving it running.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
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
    // A program that runs away is ended after two minutes instead of filling the disk under a hung test.
    for (int polls = 0; ::wait4(m_pid, &status, WNOHANG, &usage) == 0; ++polls)
        polls < 12'000 ? void(::usleep(10'000)) : void(::kill(m_pid, SIGKILL));
    const Bytes out = ReadFile(m_capture / "out"), err = ReadFile(m_capture / "err");
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), std::string(out.begin(), out.end()),
            std::string(err.begin(), err.end()), usage.ru_maxrss};
}

} // namespace cptest
