// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScanResult.h"

#include "files/FileIo.h"

#include "base/PathHelpers.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace cp {

EntryFileList::EntryFileList(const std::string& folder, const std::string& source) : m_folder(folder), m_source(source)
{
}

std::string EntryFileList::operator[](std::size_t index) const
{
    if (index >= m_keys.size())
        throw std::out_of_range("no such entry file");
    if (index < m_names.size())
        return withTrailingSeparator(m_folder) + m_names[index];
    return entryFileName(m_folder, number(index), m_source);
}

void EntryFileList::append(std::int64_t number, FileIdentity identity, const std::string& name)
{
    if (!name.empty())
        m_names.push_back(name);
    if (m_runs.empty() || this->number(m_keys.size()) != number)
        m_runs.push_back({m_keys.size(), number});
    m_device = identity.device;
    m_keys.push_back(identity.key());
}

std::int64_t EntryFileList::number(std::size_t index) const
{
    const auto after = std::upper_bound(m_runs.begin(), m_runs.end(), index,
                                        [](std::size_t at, const NumberRun& run) { return at < run.index; });
    const NumberRun& run = *std::prev(after);
    return run.number + std::int64_t(index - run.index);
}

std::int64_t EntryFileList::ownedCount() const
{
    return std::count_if(m_keys.begin(), m_keys.end(), [](std::uint64_t key) { return key != 0; });
}

void EntryFileList::removeOwned()
{
    for (std::size_t i = 0; i < m_keys.size(); ++i) {
        if (m_keys[i] != 0 && removeFileIfSame((*this)[i], m_device, m_keys[i]))
            m_keys[i] = 0;
    }
}

void ScanResult::release(EntryFileHolder* holder)
{
    if (entryFiles.ownedCount() == 0)
        return;
    if (holder)
        holder->closeEntryFile();
    entryFiles.removeOwned();
}

} // namespace cp
