// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/FileError.h"

namespace cp {

// A save fails where reading the entry file or writing its copy fails, and
// stops where its caller says stop: the file layer's own failures, named
// for saving.
using SaveError = FileError;
using SaveStopped = CopyStopped;

} // namespace cp
