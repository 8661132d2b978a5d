// SPDX-License-Identifier: GPL-3.0-or-later
#include "TempFolder.h"

#include "base/PathHelpers.h"

#include <filesystem>

namespace cp {

std::string userTempFolder()
{
    // GetTempPath: the user's own temporary folder, which no one else shares.
    std::error_code error;
    const auto folder = std::filesystem::temp_directory_path(error);
    if (error)
        return withTrailingSeparator("/tmp");
    return withTrailingSeparator(folder.string());
}

} // namespace cp
