// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/FileError.h"

namespace cp {

// A scan fails where one of its file operations fails, and stops where its
// observer or a copy of an entry says stop: the engine's failures are the
// file layer's, told to whoever shows them without a translation in between.
using ScanError = FileError;
using ScanStopped = CopyStopped;

} // namespace cp
