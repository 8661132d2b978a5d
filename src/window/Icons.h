#pragma once

#include <QIcon>
#include <QString>

namespace cp {

// The window icon (16 and 32 pixels) and the toolbar pictures (16 pixels),
// drawn from the program's own SVG resources.
QIcon ApplicationIcon();
QIcon ButtonIcon(const QString& name); // open, saveall, previous, play, stop, save, next

} // namespace cp
