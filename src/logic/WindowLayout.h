// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/MainWindowView.h"

#include <array>
#include <string>

namespace cp {

// The windows as designed, in twips (1/1440 inch), so that they grow with the
// screen's resolution: 15 twips a pixel at 96 dots per inch. Every face
// places its controls from here.
struct TwipsRect {
    int left, top, width, height;
};

// The main window's seven figures, each a caption and a value field in its group.
enum class Figure { FileSize, EntryCount, UnknownData, EntrySize, EntryLength, Quality, Status };
constexpr int kFigureCount = 7;

struct FigureRow {
    Figure figure;
    int group; // 0: the whole file, 1: the current entry
    int labelIndex;
    const char* caption;
    TwipsRect label;
    const char* name; // the field's, as accessibility tools and tests see it
    TwipsRect field;
};

namespace mainWindowLayout {

constexpr int kWidth = 6465; // the client area
constexpr int kHeight = 2655;
constexpr TwipsRect kToolbar {0, 0, 6465, 390};
constexpr int kButtonWidth = 345;
constexpr int kButtonHeight = 330;
constexpr int kButtonPicture = 240;
constexpr TwipsRect kProgressBar {15, 30, 6405, 330}; // in the toolbar's strip
constexpr int kToolbarLineTop = 375;
constexpr int kToolbarLineWidth = 6450;
constexpr std::array<TwipsRect, 2> kGroups {{{225, 465, 2940, 1230}, {3330, 465, 2940, 1545}}};
constexpr std::array<const char*, 2> kGroupNames {"Frame(0)", "Frame(1)"};
constexpr const char* kWholeFileTitle = "gesamte Datei";
constexpr TwipsRect kLoopBox {1650, 1815, 1515, 195};
constexpr int kLoopBoxGap = 90;                  // at least this far from the group beside it
constexpr TwipsRect kLoopLine {240, 1905, 0, 0}; // runs up to the loop box, 30 twips short of it
constexpr TwipsRect kSlider {60, 2055, 6360, 510};
constexpr int kFieldHeight = 195;

} // namespace mainWindowLayout

// The rows in the order they are made (which is the order of tabbing).
const std::array<FigureRow, kFigureCount>& figureRows();

// A figure's text as the view shows it.
const std::string& figureText(const MainWindowView& view, Figure figure);

// The notice shown once after Save.
namespace noticeLayout {

constexpr int kWidth = 4680;
constexpr int kHeight = 2790;
constexpr TwipsRect kIcon {120, 135, 480, 480};
constexpr TwipsRect kText {705, 135, 3855, 1665};
constexpr TwipsRect kNeverAgainBox {705, 1905, 3855, 240};
constexpr TwipsRect kOkButton {1560, 2355, 1560, 315};
constexpr const char* kNeverAgain = "Diese Meldung nie wieder zeigen";

} // namespace noticeLayout

} // namespace cp
