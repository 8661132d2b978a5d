// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scan/ScanResult.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cp {

// The entries of the last scan that succeeded, and which of them is current.
// A scan that fails never reaches it: the window keeps what it had released
// (nothing) rather than half a scan.
class EntryBrowser {
public:
    const ScanResult& scan() const { return m_scan; }
    std::int64_t count() const { return m_scan.entryCount; }
    // 0: none, else 1..count().
    std::int64_t current() const { return m_current; }
    bool hasCurrent() const { return m_current > 0; }
    std::string entryFile(std::int64_t entry) const { return m_scan.entryFile(entry); }
    std::string currentFile() const { return m_scan.entryFile(m_current); }

    // The entries of a scan that succeeded; none of them is current yet.
    void replace(ScanResult&& scan);
    // Lets go of the entries: their files are deleted, once holder has closed
    // the one it may hold. Afterwards there are none. Never fails.
    void release(EntryFileHolder* holder);

    // Steps on, from the last to the first; false without entries.
    bool next();
    // Steps back, from the first (or none) to the last; false without entries.
    bool previous();
    // Makes the entry current; false when there is no such entry.
    bool goTo(std::int64_t entry);

private:
    ScanResult m_scan;
    std::int64_t m_current = 0;
    std::vector<EntryFileList> m_undeleted; // released files that would not go yet
};

} // namespace cp
