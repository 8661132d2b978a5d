// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowLayout.h"

namespace cp {

const std::array<FigureRow, kFigureCount>& figureRows()
{
    static constexpr std::array<FigureRow, kFigureCount> kRows {{
        {Figure::FileSize, 0, 0, "Größe:", {180, 300, 480, 195}, "txtFilesize", {945, 300, 1815, 195}},
        {Figure::EntryCount, 0, 1, "Einträge:", {180, 570, 630, 195}, "txtEntrycount", {2205, 577, 555, 195}},
        {Figure::UnknownData,
         0,
         2,
         "nicht erkannte Daten:",
         {180, 855, 1545, 195},
         "txtUnknownData",
         {1860, 855, 900, 195}},
        {Figure::EntrySize, 1, 5, "Größe:", {150, 285, 480, 195}, "txtEntrysize", {915, 285, 1815, 195}},
        {Figure::EntryLength, 1, 4, "Länge:", {150, 560, 495, 195}, "txtEntryLength", {660, 555, 2070, 195}},
        {Figure::Quality, 1, 3, "Qualität:", {150, 840, 585, 195}, "txtQuality", {855, 840, 1875, 195}},
        {Figure::Status, 1, 6, "Status:", {150, 1110, 495, 195}, "txtStatus", {735, 1110, 1995, 195}},
    }};
    return kRows;
}

const std::string& figureText(const MainWindowView& view, Figure figure)
{
    switch (figure) {
    case Figure::FileSize: return view.fileSize;
    case Figure::EntryCount: return view.entryCount;
    case Figure::UnknownData: return view.unknownData;
    case Figure::EntrySize: return view.entrySize;
    case Figure::EntryLength: return view.entryLength;
    case Figure::Quality: return view.quality;
    case Figure::Status: break;
    }
    return view.status;
}

} // namespace cp
