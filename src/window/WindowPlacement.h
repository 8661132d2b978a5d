// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/NumberFormat.h"

#include <QSize>

class QWidget;

namespace cp {

class SettingsStore;

// Where the window stands, kept in the settings in twips as it always was:
// restored at start, centred on the screen on a first start (exactly, frame
// included, once the window manager has framed it), saved at the end.
class WindowPlacement {
public:
    // clientTwips: the window's size without its frame.
    WindowPlacement(QWidget& window, SettingsStore& settings, const NumberStyle& style, QSize clientTwips);

    // Moves the window to its remembered place; a coordinate never stored,
    // or stored as no number, is centred for now. Before the window shows.
    void restore();
    // Once the window shows: centres with its frame what restore() guessed.
    void centreOnFrame();
    void save();

private:
    QWidget& m_window;
    SettingsStore& m_settings;
    NumberStyle m_style;
    QSize m_clientTwips;
    bool m_centreX = false, m_centreY = false;
};

} // namespace cp
