// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/NumberFormat.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace cp {

// Whether the entry files of a source can fit in the folder they go to,
// asked before a scan writes any: a scan that fills the disk halfway helps
// nobody and leaves the disk full meanwhile. Entries run from a tag to the
// next or to the end, so together they take the source's size at most.
class EntryRoom {
public:
    // freedSoon: the bytes of entry files still being deleted there, which
    // count as room.
    EntryRoom(std::string folder, std::int64_t freedSoon) : m_folder(std::move(folder)), m_freedSoon(freedSoon) {}

    // The notice that the entries of the source at path would not fit; none
    // when they would, or when a size cannot be told (the scan then meets
    // whatever there is to meet, and says so).
    std::optional<std::string> shortage(const std::string& path, const NumberStyle& style) const;

private:
    std::string m_folder;
    std::int64_t m_freedSoon;
};

} // namespace cp
