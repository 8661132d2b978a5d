// SPDX-License-Identifier: GPL-3.0-or-later
#include "Terminal.h"

#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace cp {

Terminal::Terminal(std::FILE* stream)
{
    // A description of the terminal of our own: not blocking on it leaves the
    // one the shell shares with us as it was. ttyname names terminals only.
    if (const char* name = stream ? ::ttyname(::fileno(stream)) : nullptr)
        m_native = ::open(name, O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

Terminal::~Terminal()
{
    if (isOpen())
        ::close(int(m_native));
}

int Terminal::columns() const
{
    winsize size {};
    if (!isOpen() || ::ioctl(int(m_native), TIOCGWINSZ, &size) != 0)
        return 0;
    return size.ws_col;
}

void Terminal::write(const char* data, std::size_t size, int patienceMs) noexcept
{
    const int fd = int(m_native);
    while (isOpen() && size > 0) {
        const ssize_t n = TEMP_FAILURE_RETRY(::write(fd, data, size));
        if (n > 0) {
            data += n;
            size -= std::size_t(n);
            continue;
        }
        pollfd ready {.fd = fd, .events = POLLOUT, .revents = 0};
        if (n < 0 && errno == EAGAIN && patienceMs > 0 && ::poll(&ready, 1, patienceMs) > 0)
            continue;
        return; // the terminal is behind: the rest of this line is dropped
    }
}

} // namespace cp
