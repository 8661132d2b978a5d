// SPDX-License-Identifier: GPL-3.0-or-later
#include "EntryRoom.h"

#include "base/PathHelpers.h"
#include "base/NumberFormat.h"
#include "base/ShownPath.h"
#include "files/DiskRoom.h"

#include <limits>

namespace cp {

namespace {

std::string bytes(std::int64_t count, const NumberStyle& style)
{
    return formatGrouped(count, style) + " Byte";
}

} // namespace

std::optional<std::string> EntryRoom::shortage(const std::string& path, const NumberStyle& style) const
{
    const std::optional<std::int64_t> size = regularFileSize(path), free = freeSpaceIn(m_folder);
    if (!size || !free)
        return std::nullopt;
    const std::int64_t room = *free > std::numeric_limits<std::int64_t>::max() - m_freedSoon
        ? std::numeric_limits<std::int64_t>::max()
        : *free + m_freedSoon;
    if (*size <= room)
        return std::nullopt;
    return "„" + shownPath(fileNamePart(path)) + "“ ist " + bytes(*size, style)
        + " groß; im Ordner für die Zwischendateien (" + shownPath(m_folder) + ") sind nur noch " + bytes(room, style)
        + " frei. Die Einträge hätten dort keinen Platz.";
}

} // namespace cp
