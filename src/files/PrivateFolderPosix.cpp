// SPDX-License-Identifier: GPL-3.0-or-later
#include "PrivateFolder.h"

#include "base/PathHelpers.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace cp {

namespace {

// Whether path is a folder of ours that no one else may enter or change. A
// link is not followed: whoever made it chose where it leads.
bool isPrivateFolder(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

} // namespace

std::string privateRunFolder(const std::string& temp)
{
    const std::string own = withTrailingSeparator(temp) + "chunkpicker-" + std::to_string(::getuid());
    if ((::mkdir(own.c_str(), 0700) == 0 || errno == EEXIST) && isPrivateFolder(own))
        return withTrailingSeparator(own);
    // The name was taken by someone else, or by nothing we can trust: a
    // folder only we can have made instead, for this run.
    std::string fresh = own + "-XXXXXX";
    if (::mkdtemp(fresh.data()))
        return withTrailingSeparator(fresh);
    return withTrailingSeparator(temp);
}

} // namespace cp
