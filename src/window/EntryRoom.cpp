// SPDX-License-Identifier: GPL-3.0-or-later
#include "EntryRoom.h"

#include "base/PathHelpers.h"
#include "core/NumberFormat.h"
#include "files/DiskRoom.h"

#include <QFile>

#include <limits>

namespace cp {

namespace {

QString shown(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QString bytes(std::int64_t count, const QLocale& locale)
{
    return formatGrouped(count, locale) + QStringLiteral(" Byte");
}

} // namespace

std::optional<QString> EntryRoom::shortage(const std::string& path, const QLocale& locale) const
{
    const std::optional<std::int64_t> size = regularFileSize(path), free = freeSpaceIn(m_folder);
    if (!size || !free)
        return std::nullopt;
    const std::int64_t room = *free > std::numeric_limits<std::int64_t>::max() - m_freedSoon
        ? std::numeric_limits<std::int64_t>::max()
        : *free + m_freedSoon;
    if (*size <= room)
        return std::nullopt;
    return QStringLiteral("„%1“ ist %2 groß; im Ordner für die Zwischendateien (%3) sind nur noch %4 frei. "
                          "Die Einträge hätten dort keinen Platz.")
        .arg(shown(fileNamePart(path)), bytes(*size, locale), shown(m_folder), bytes(room, locale));
}

} // namespace cp
