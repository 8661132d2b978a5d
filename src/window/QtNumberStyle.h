// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/NumberFormat.h"

class QLocale;

namespace cp {

// How the locale writes numbers, for the code below the Qt window.
NumberStyle numberStyleOf(const QLocale& locale);

} // namespace cp
