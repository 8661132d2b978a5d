// SPDX-License-Identifier: GPL-3.0-or-later
#include "EntryBrowser.h"

#include <utility>

namespace cp {

void EntryBrowser::replace(ScanResult&& scan)
{
    m_scan = std::move(scan);
    m_current = 0;
}

void EntryBrowser::release(EntryFileHolder* holder)
{
    m_scan.release(holder);
    // A file that could not be deleted now is tried again at the next release.
    for (auto it = m_undeleted.begin(); it != m_undeleted.end();) {
        it->removeOwned();
        it = it->ownedCount() == 0 ? m_undeleted.erase(it) : it + 1;
    }
    if (m_scan.entryFiles.ownedCount() > 0)
        m_undeleted.push_back(std::move(m_scan.entryFiles));
    m_scan = {};
    m_current = 0;
}

bool EntryBrowser::next()
{
    if (count() < 1)
        return false;
    m_current = m_current >= count() ? 1 : m_current + 1;
    return true;
}

bool EntryBrowser::previous()
{
    if (count() < 1)
        return false;
    m_current = m_current <= 1 ? count() : m_current - 1;
    return true;
}

bool EntryBrowser::goTo(std::int64_t entry)
{
    if (entry < 1 || entry > count())
        return false;
    m_current = entry;
    return true;
}

} // namespace cp
