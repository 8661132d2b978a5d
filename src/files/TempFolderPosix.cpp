// SPDX-License-Identifier: GPL-3.0-or-later
#include "TempFolder.h"

#include "PathChecks.h"

#include <cstdlib>

namespace cp {

std::string userTempFolder()
{
    const char* chosen = std::getenv("TMPDIR");
    if (chosen && *chosen && folderExists(chosen))
        return withTrailingSeparator(chosen);
    // The entry files of a disk image are as large as the image. /tmp is a
    // RAM-backed tmpfs of half the memory or less on many systems; /var/tmp
    // lies on disk, where large temporary files belong.
    return folderExists("/var/tmp") ? "/var/tmp/" : "/tmp/";
}

} // namespace cp
