// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/WindowCommands.h"
#include "logic/WindowLayout.h"

#include <array>
#include <functional>

class QAction;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QMenu;
class QPoint;
class QProgressBar;
class QSlider;
class QToolBar;
class QWidget;

namespace cp {

// The main window's controls, made and placed in twips as designed and
// converted to pixels at the screen's logical resolution. The window wires
// them to the objects that do the work; their names are the ones the
// accessibility tools and the tests see.
struct MainWindowForm {
    QToolBar* toolbar = nullptr;
    // Every command's action, a toolbar button's own where it has one: it
    // carries the command's keys, so they work exactly when it does.
    std::array<QAction*, kCommandCount> actions {};
    QProgressBar* progressBar = nullptr;             // over the toolbar while a scan runs
    std::array<QGroupBox*, 2> group {};              // the whole file, the current entry
    std::array<QLineEdit*, kFigureCount> figures {}; // by Figure
    QCheckBox* loopBox = nullptr;
    QSlider* positionSlider = nullptr;
    QMenu* commandMenu = nullptr;

    // The loop box as the setting stores it: 0 unticked, 1 ticked, 2 partly
    // ticked (a first start's box, until it is clicked).
    int loopValue() const;
    void setLoopValue(int value);

    QAction* action(Command command) const { return actions[std::size_t(command)]; }
    QLineEdit* field(Figure figure) const { return figures[std::size_t(figure)]; }

    // Makes the controls on window; a button, a key or a menu line of a
    // command calls run(command).
    void build(QWidget& window, const std::function<void(Command)>& run);
    // Shows the context menu at the screen point; unless usable (a scan or
    // copy runs), every command in it is greyed. The entry list stays open to
    // it, as F4 is.
    void popUpCommandMenu(const QPoint& at, bool usable);
};

} // namespace cp
