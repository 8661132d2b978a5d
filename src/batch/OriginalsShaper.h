// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ManifestWriter.h"
#include "scan/EntryShaper.h"
#include "scan/OriginalFile.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>

namespace cp {

// Writes entries as their original files (planOriginal) for one run over
// several sources: names the run gave are numbered from where they left off,
// whichever source gave them, and each file that takes its name goes into
// the manifest (if any) at once.
class OriginalsShaper final : public EntryShaper {
public:
    OriginalsShaper(OriginalOptions options, ManifestWriter* manifest);

    // The entries from now on are source's (as given); the counts start afresh.
    void beginSource(const std::string& source);

    Shape shape(const SourceReader& source, std::size_t index, std::int64_t offset, std::int64_t length) override;
    int firstAttempt(const std::string& name) override;
    void named(std::size_t index, const std::string& name, int attempt) override;

    // Of the source under way: files named, their bytes, how many are
    // shorter than their entries, how many carry a name from the data.
    struct Counts {
        std::int64_t files = 0, bytes = 0, trimmed = 0, named = 0;
    };
    Counts counts() const;

private:
    struct Planned {
        std::int64_t offset = 0, length = 0;
        OriginalFile original;
    };
    OriginalOptions m_options;
    ManifestWriter* m_manifest;
    mutable std::mutex m_mutex; // guards everything below
    std::string m_source;
    std::map<std::size_t, Planned> m_planned; // shaped and not yet named: a few dozen at most
    // Names met more than once, and the numbering to try next: a name given
    // once costs nothing here, a name given a thousand times one entry.
    std::unordered_map<std::string, int> m_nextAttempt;
    Counts m_counts;
};

} // namespace cp
