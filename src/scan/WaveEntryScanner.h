#pragma once

#include "EntryTable.h"
#include "ScanObserver.h"
#include "base/StartupState.h"

#include <cstdint>
#include <deque>
#include <string>

namespace cp {

// How a file is read for the search: whole up to a limit, else in
// overlapping blocks. Only tests and fuzzing choose other numbers, to reach
// block boundaries with small files.
struct ScanGeometry {
    std::int64_t wholeFileLimit = 3'000'000;
    std::int64_t blockSize = 1'000'000;
    std::int64_t blockStep = 999'995; // blocks overlap so that a tag across a boundary is seen whole
    bool unnamedFiles = true;         // false: write under temporary names, as where the file system must
};

// Cuts a file at every "RIFF" tag and writes each piece as an entry file.
class WaveEntryScanner {
public:
    static constexpr std::int64_t kWholeFileLimit = ScanGeometry{}.wholeFileLimit;
    static constexpr std::int64_t kBlockSize = ScanGeometry{}.blockSize;
    static constexpr std::int64_t kBlockStep = ScanGeometry{}.blockStep;

    // geometry.blockSize - geometry.blockStep must be at least 3.
    WaveEntryScanner(EntryTable& table, const StartupState& startup, EntryFileHolder* holder = nullptr,
                     ScanObserver* observer = nullptr, ScanGeometry geometry = {});

    // Releases the previous entry files, searches path and writes its entries
    // into the target folder. Throws ScanError on failure and ScanStopped when
    // the observer asked to stop; the table then holds what the steps before
    // the failure set (see EntryTable). Never ends the program.
    void ScanFile(const std::string& path);

private:
    void onHit(std::int64_t position);
    void checkStop();
    void writeEntries(const class SourceReader& source, const std::string& path);

    EntryTable& m_table;
    const StartupState& m_startup;
    EntryFileHolder* m_holder;
    ScanObserver* m_observer;
    ScanGeometry m_geometry;

    std::deque<std::int64_t> m_hits; // 1-based tag positions of the scan under way, 8 bytes a tag
    std::int64_t m_length = 0;
};

} // namespace cp
