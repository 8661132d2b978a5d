// SPDX-License-Identifier: GPL-3.0-or-later
#include "PrivateFolder.h"

#include "base/PathHelpers.h"

namespace cp {

std::string privateRunFolder(const std::string& temp)
{
    return withTrailingSeparator(temp);
}

} // namespace cp
