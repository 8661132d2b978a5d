// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShownScan.h"

#include <utility>

namespace cp {

void ShownScan::replace(ScanResult&& scan)
{
    m_scan = std::move(scan);
    m_current = 0;
}

void ShownScan::release(EntryFileHolder* holder)
{
    if (m_scan.entryFiles.ownedCount() > 0) {
        if (holder)
            holder->closeEntryFile();
        // Entries run from the first tag to the end: at most that much is freed.
        const std::int64_t bytes = m_scan.firstTag > 0 ? m_scan.sourceLength - (m_scan.firstTag - 1) : 0;
        m_remover.hand(std::move(m_scan.entryFiles), bytes);
    }
    m_scan = {};
    m_current = 0;
}

bool ShownScan::next()
{
    if (count() < 1)
        return false;
    m_current = m_current >= count() ? 1 : m_current + 1;
    return true;
}

bool ShownScan::previous()
{
    if (count() < 1)
        return false;
    m_current = m_current <= 1 ? count() : m_current - 1;
    return true;
}

bool ShownScan::goTo(std::int64_t entry)
{
    if (entry < 1 || entry > count())
        return false;
    m_current = entry;
    return true;
}

} // namespace cp
