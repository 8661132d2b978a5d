#include "PathHelpers.h"

#include <sys/stat.h>

namespace cp {

std::string GetFileName(const std::string& path)
{
    const auto pos = path.rfind(kPathSeparator);
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::string AddBackslash(const std::string& path)
{
    if (!path.empty() && path.back() == kPathSeparator)
        return path;
    return path + kPathSeparator;
}

bool PathExists(const std::string& path)
{
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return false;
    return path.back() != kPathSeparator || S_ISDIR(st.st_mode);
}

} // namespace cp
