// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPaintDevice>
#include <QtGlobal>

namespace cp {

// Windows and dialogs are laid out in twips (1/1440 inch), so that they grow
// with the screen's logical resolution: 15 twips a pixel at 96 dots per inch.
inline double twipsPerPixel(const QPaintDevice& device)
{
    return 1440.0 / device.logicalDpiX();
}

inline int twipsToPixels(const QPaintDevice& device, int twips)
{
    return qRound(double(twips) / twipsPerPixel(device));
}

} // namespace cp
