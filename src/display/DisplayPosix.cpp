// SPDX-License-Identifier: GPL-3.0-or-later
#include "Display.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace cp {

namespace {

std::string env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool xAnswers(const std::string& display)
{
    xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
    const bool ok = connection && xcb_connection_has_error(connection) == 0;
    if (connection)
        xcb_disconnect(connection);
    return ok;
}

bool waylandAnswers(const std::string& display)
{
    std::string path = display;
    if (path.empty() || path[0] != '/') {
        const std::string runtime = env("XDG_RUNTIME_DIR");
        if (runtime.empty())
            return false;
        path = runtime + "/" + (path.empty() ? "wayland-0" : path);
    }
    sockaddr_un address {};
    if (path.size() >= sizeof address.sun_path)
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

} // namespace

DisplayKind findDisplay()
{
    const std::string platform = env("QT_QPA_PLATFORM");
    const std::string x = env("DISPLAY"), wayland = env("WAYLAND_DISPLAY");
    // Which platform Qt tries first; a list falls back by itself.
    const std::string first = platform.substr(0, platform.find(';'));
    if (!first.empty() && first.rfind("xcb", 0) != 0 && first.rfind("wayland", 0) != 0)
        return DisplayKind::Reachable;
    if (first.rfind("wayland", 0) == 0 || (first.empty() && x.empty() && !wayland.empty()))
        return waylandAnswers(wayland) ? DisplayKind::Reachable : DisplayKind::Unreachable;
    if (x.empty())
        return first.empty() ? DisplayKind::None : DisplayKind::Unreachable;
    return xAnswers(x) ? DisplayKind::Reachable : DisplayKind::Unreachable;
}

} // namespace cp
