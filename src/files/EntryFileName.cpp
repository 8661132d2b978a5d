// SPDX-License-Identifier: GPL-3.0-or-later
#include "EntryFileName.h"

#include "base/PathHelpers.h"

#include <cstdio>

namespace cp {

std::string entryFileName(const std::string& folder, std::int64_t number, const std::string& source)
{
    char digits[32];
    std::snprintf(digits, sizeof digits, "%03lld", static_cast<long long>(number));
    return withTrailingSeparator(folder) + "Sound" + digits + " aus " + fileNamePart(source) + ".wav";
}

} // namespace cp
