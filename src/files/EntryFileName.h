// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace cp {

// "Sound" + number (three digits at least) + " aus " + the source's name +
// ".wav" in folder (which may or may not end in the separator).
std::string entryFileName(const std::string& folder, std::int64_t number, const std::string& source);

// That name without folder and extension: "Sound001 aus x.pak".
std::string entryFileStem(std::int64_t number, const std::string& source);

} // namespace cp
