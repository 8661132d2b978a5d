// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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
    // Toolbar button indexes; 3 is the separator.
    enum Button { Open = 1, SaveAll = 2, Separator = 3, Previous = 4, Play = 5, Stop = 6, Save = 7, Next = 8 };

    QToolBar* toolbar = nullptr;
    std::array<QAction*, 9> buttons {};  // [1..8]; [0] unused
    QProgressBar* progressBar = nullptr; // over the toolbar while a scan runs
    QGroupBox* group[2] = {};            // the whole file, the current entry
    QLineEdit* fileSize = nullptr;
    QLineEdit* entryCount = nullptr;
    QLineEdit* unknownData = nullptr;
    QLineEdit* entrySize = nullptr;
    QLineEdit* entryLength = nullptr;
    QLineEdit* quality = nullptr;
    QLineEdit* status = nullptr;
    QCheckBox* loopBox = nullptr;
    QSlider* positionSlider = nullptr;
    QMenu* commandMenu = nullptr;

    // The loop box as the setting stores it: 0 unticked, 1 ticked, 2 partly
    // ticked (a first start's box, until it is clicked).
    int loopValue() const;
    void setLoopValue(int value);

    // Makes the controls on window; a click on button i calls click(i).
    // Before the first scan only Open can be used.
    void build(QWidget& window, const std::function<void(int)>& click);
    // The keys of every command and the context menu that lists them with
    // their keys: the buttons', the first and the last entry
    // (firstOrLast(last)), and the entry list.
    void buildKeyboardCommands(QWidget& window, const std::function<void(bool)>& firstOrLast,
                               const std::function<void()>& openList);
    // Shows the context menu at the screen point; unless usable (a scan or
    // copy runs), every command in it is greyed. The entry list stays open to
    // it, as F4 is.
    void popUpCommandMenu(const QPoint& at, bool usable);
};

} // namespace cp
