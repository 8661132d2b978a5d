#include "PathHelpers.h"

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

} // namespace cp
