// SPDX-License-Identifier: GPL-3.0-or-later
#include "OriginalsShaper.h"

#include "files/EntryFileName.h"

namespace cp {

OriginalsShaper::OriginalsShaper(OriginalOptions options, ManifestWriter* manifest)
    : m_options(options)
    , m_manifest(manifest)
{
}

void OriginalsShaper::beginSource(const std::string& source)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_source = source;
    m_planned.clear(); // a failed scan's entries that never took a name
    m_counts = {};
}

EntryShaper::Shape OriginalsShaper::shape(const SourceReader& source, std::size_t index, std::int64_t offset,
                                          std::int64_t length)
{
    std::string path;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        path = m_source;
    }
    OriginalFile original
        = planOriginal(source, offset, length, entryFileStem(std::int64_t(index) + 1, path), m_options);
    Shape shape {original.length, original.name};
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_planned[index] = {offset, length, std::move(original)};
    return shape;
}

int OriginalsShaper::firstAttempt(const std::string& name)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_nextAttempt.find(name);
    return found == m_nextAttempt.end() ? 1 : found->second;
}

void OriginalsShaper::named(std::size_t index, const std::string& name, int attempt)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (attempt > 1)
        m_nextAttempt[name] = attempt + 1;
    const auto planned = m_planned.find(index);
    if (planned == m_planned.end())
        return;
    const OriginalFile& original = planned->second.original;
    ++m_counts.files;
    m_counts.bytes += original.length;
    if (original.length < planned->second.length)
        ++m_counts.trimmed;
    if (original.nameFrom != OriginalFile::NameFrom::Number)
        ++m_counts.named;
    if (m_manifest)
        m_manifest->add({m_source, std::int64_t(index) + 1, planned->second.offset, planned->second.length, original,
                         numberedName(name, attempt)});
    m_planned.erase(planned);
}

OriginalsShaper::Counts OriginalsShaper::counts() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_counts;
}

} // namespace cp
