#include "Display.h"

#include <cstdlib>

namespace cp {

namespace {
bool Set(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}
} // namespace

bool HasDisplay()
{
#ifdef _WIN32
    return true;
#else
    return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM");
#endif
}

} // namespace cp
