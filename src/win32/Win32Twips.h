// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/WindowLayout.h"

#include <windows.h>

namespace cp {

// Twips to the pixels of a screen of dpi dots per inch (96 at 100 %).
inline int twipsToPixels(int twips, UINT dpi)
{
    return MulDiv(twips, int(dpi), 1440);
}

inline RECT pixelRect(const TwipsRect& place, UINT dpi)
{
    const int left = twipsToPixels(place.left, dpi);
    const int top = twipsToPixels(place.top, dpi);
    return {left, top, left + twipsToPixels(place.width, dpi), top + twipsToPixels(place.height, dpi)};
}

// The dialog font the layout was drawn for: the system's message font at 8 points.
HFONT createLayoutFont(UINT dpi);

} // namespace cp
