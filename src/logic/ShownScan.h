// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scan/EntryFileRemover.h"
#include "scan/ScanResult.h"

#include <cstdint>
#include <string>

namespace cp {

// The scan the window shows: the entries of the last scan that succeeded,
// and which of them is current.
// A scan that fails never reaches it: the window keeps what it had released
// (nothing) rather than half a scan.
class ShownScan {
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
    // Lets go of the entries at once: holder closes the file it may hold,
    // and the files are deleted in the background. Afterwards there are
    // none. Never fails.
    void release(EntryFileHolder* holder);
    // What deletes the files let go of; waits for it when the browser goes.
    EntryFileRemover& remover() { return m_remover; }

    // Steps on, from the last to the first; false without entries.
    bool next();
    // Steps back, from the first (or none) to the last; false without entries.
    bool previous();
    // Makes the entry current; false when there is no such entry.
    bool goTo(std::int64_t entry);

private:
    ScanResult m_scan;
    std::int64_t m_current = 0;
    EntryFileRemover m_remover; // last: gone first, once the files are
};

} // namespace cp
