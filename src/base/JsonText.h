// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace cp {

// text as a JSON string, quotes included: '"', '\\' and control characters
// escaped; bytes that are no UTF-8 read as Latin-1, since JSON carries only
// UTF-8 (a Linux file name may be any bytes).
std::string jsonString(const std::string& text);

} // namespace cp
