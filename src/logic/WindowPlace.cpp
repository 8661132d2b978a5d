// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowPlace.h"

#include "logic/SettingsStore.h"

#include <cmath>
#include <limits>

namespace cp {

namespace {

std::optional<int> coordinate(const SettingsStore& settings, const char* name, const NumberStyle& style)
{
    const std::optional<double> stored = settings.number(name, style);
    if (!stored || !(std::fabs(*stored) < double(std::numeric_limits<int>::max())))
        return std::nullopt;
    return int(std::lround(*stored));
}

} // namespace

WindowPlace WindowPlace::read(const SettingsStore& settings, const NumberStyle& style)
{
    return {coordinate(settings, "WindowPosX", style), coordinate(settings, "WindowPosY", style)};
}

void WindowPlace::write(SettingsStore& settings) const
{
    if (left)
        settings.setValue("WindowPosX", std::to_string(*left));
    if (top)
        settings.setValue("WindowPosY", std::to_string(*top));
}

} // namespace cp
