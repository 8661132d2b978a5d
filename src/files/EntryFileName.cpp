// SPDX-License-Identifier: GPL-3.0-or-later
#include "EntryFileName.h"

#include "base/PathHelpers.h"

#include <cstdio>

namespace cp {

std::string entryFileName(const std::string& folder, std::int64_t number, const std::string& source)
{
    return withTrailingSeparator(folder) + entryFileStem(number, source) + ".wav";
}

std::string entryFileStem(std::int64_t number, const std::string& source)
{
    char digits[32];
    std::snprintf(digits, sizeof digits, "%03lld", static_cast<long long>(number));
    return "Sound" + std::string(digits) + " aus " + fileNamePart(source);
}

} // namespace cp
