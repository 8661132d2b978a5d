// SPDX-License-Identifier: GPL-3.0-or-later
#include "PathChecks.h"

#include <sys/stat.h>

namespace cp {

bool pathExists(const std::string& path)
{
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return false;
    return path.back() != kPathSeparator || S_ISDIR(st.st_mode);
}

bool folderExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace cp
