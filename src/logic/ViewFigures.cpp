// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewFigures.h"

#include "base/ErrorNumbers.h"
#include "base/ShownPath.h"
#include "logic/EntryHeads.h"
#include "logic/ErrorReport.h"
#include "logic/HeaderWording.h"
#include "logic/MainWindowView.h"
#include "scan/EntryHeader.h"
#include "files/FileIo.h"
#include "scan/ScanError.h"

#include <cmath>
#include <filesystem>

namespace cp {

void clearEntryFigures(MainWindowView& view)
{
    view.entryTitle = "aktueller Eintrag: keiner";
    view.toolTip.clear();
    view.entryLength = "0 Sekunden";
    view.entrySize = "0 Byte";
    view.quality = "mies";
}

void clearFileFigures(MainWindowView& view)
{
    view.fileSize = "0 Byte";
    view.entryCount = "0";
    view.unknownData = "0%";
}

void setEntryFigures(MainWindowView& view, std::int64_t current, std::int64_t count, const std::string& path,
                     std::int64_t lengthMs, const std::string& zeroLengthWord, const NumberStyle& style)
{
    view.entryTitle = "aktueller Eintrag: " + std::to_string(current) + "/" + std::to_string(count);
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error)
        throw CommandError(errorNumberForSystemError(error.value()), error.message() + ": " + shownPath(path));
    view.entrySize = formatGrouped(std::int64_t(size), style) + " Byte";
    view.entryLength = secondsWords(lengthMs, false, style);
    if (lengthMs != 0) {
        view.sliderMaximum = lengthMs;
        const double rate = double(size) / double(lengthMs) * 1000.0;
        view.quality = formatGrouped(std::int64_t(std::llround(rate)), style) + " Byte/Sek";
    } else {
        view.quality = zeroLengthWord;
    }
}

std::int64_t entryPlayingTimeMs(const std::string& path, std::int64_t decodedMs)
{
    try {
        const SourceReader entry(path);
        const auto decoded = decodedMs > 0 ? std::optional(decodedMs) : std::nullopt;
        return playingTimeMs(decoded, readRiffStructure(entry, 0, entry.size())).value_or(0);
    } catch (const ScanError&) {
        return decodedMs;
    }
}

std::string entryToolTip(const std::string& path, const NumberStyle& style)
{
    try {
        const SourceReader entry(path);
        return entryToolTipText(readEntryHeader(entry, 0, entry.size()), entry.size(), style);
    } catch (const ScanError&) {
        return {}; // the entry file is gone: showing it says so
    }
}

} // namespace cp
