// SPDX-License-Identifier: GPL-3.0-or-later
// Preloaded into the program: the first connection to an X server goes
// through, every later one is refused, as when a busy or dying server answers
// a check and then no more.
#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cerrno>
#include <cstring>

extern "C" int connect(int fd, const struct sockaddr* address, socklen_t length)
{
    using Connect = int (*)(int, const struct sockaddr*, socklen_t);
    static const auto real = reinterpret_cast<Connect>(::dlsym(RTLD_NEXT, "connect"));
    static bool connectedOnce = false;
    if (address && address->sa_family == AF_UNIX) {
        const auto* unix = reinterpret_cast<const sockaddr_un*>(address);
        const char* path = unix->sun_path[0] ? unix->sun_path : unix->sun_path + 1; // abstract names start with 0
        if (std::strstr(path, ".X11-unix/")) {
            if (connectedOnce) {
                errno = ECONNREFUSED;
                return -1;
            }
            const int result = real(fd, address, length);
            connectedOnce = result == 0;
            return result;
        }
    }
    return real(fd, address, length);
}
