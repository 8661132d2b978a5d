// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QIcon>
#include <QString>

namespace cp {

// The window icon (16 and 32 pixels) and the toolbar pictures (size pixels
// square), drawn from the program's own SVG resources.
QIcon applicationIcon();
QByteArray applicationIconSvg();                 // the same picture as the desktop's icon files carry it
QIcon buttonIcon(const QString& name, int size); // open, saveall, previous, play, stop, save, next

} // namespace cp
