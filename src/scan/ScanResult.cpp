// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScanResult.h"

#include "FileIo.h"
#include "base/PathHelpers.h"

#include <algorithm>
#include <cstdio>

namespace cp {

std::uint64_t FileIdentity::key() const
{
    std::uint64_t k = inode * 0x9E3779B97F4A7C15ull;
    k ^= std::uint64_t(modifiedNs) + 0x7F4A7C159E3779B9ull + (k << 6) + (k >> 2);
    return k != 0 ? k : 1;
}

std::string entryFileName(const std::string& folder, std::int64_t number, const std::string& source)
{
    char digits[32];
    std::snprintf(digits, sizeof digits, "%03lld", static_cast<long long>(number));
    return withTrailingSeparator(folder) + "Sound" + digits + " aus " + fileNamePart(source) + ".wav";
}

EntryFileList::EntryFileList(const std::string& folder, const std::string& source) : m_folder(folder), m_source(source)
{
}

std::string EntryFileList::operator[](std::size_t index) const
{
    return entryFileName(m_folder, m_numbers.at(index), m_source);
}

std::size_t EntryFileList::reserve(std::int64_t number)
{
    m_numbers.push_back(number);
    m_keys.push_back(0);
    return m_keys.size() - 1;
}

void EntryFileList::settle(std::size_t index, FileIdentity identity)
{
    m_device = identity.device;
    m_keys[index] = identity.key();
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

std::string EntryFolder::nextFileName(const std::string& source)
{
    for (;;) {
        std::string candidate = entryFileName(path, ++lastNumber, source);
        if (!nameTaken(candidate))
            return candidate;
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
