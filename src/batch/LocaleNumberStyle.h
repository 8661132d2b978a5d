// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/NumberFormat.h"

namespace cp {

// The number style of the C library's current locale (after setlocale(LC_ALL,
// "") the user's), for a program without a toolkit to ask; the C locale's
// where it names no separator.
NumberStyle localeNumberStyle();

} // namespace cp
