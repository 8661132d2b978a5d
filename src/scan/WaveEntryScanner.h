// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ScanResult.h"
#include "EntryWriter.h"
#include "ScanObserver.h"
#include "SourceSearch.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cp {

// Cuts a file at every "RIFF" tag and writes each piece as an entry file.
class WaveEntryScanner {
public:
    static constexpr std::int64_t kWholeFileLimit = ScanGeometry {}.wholeFileLimit;
    static constexpr std::int64_t kBlockSize = ScanGeometry {}.blockSize;
    static constexpr std::int64_t kBlockStep = ScanGeometry {}.blockStep;

    // geometry.blockSize - geometry.blockStep must be at least 3.
    WaveEntryScanner(EntryFolder& folder, ScanObserver* observer = nullptr, ScanGeometry geometry = {});

    // Searches path and writes its entries into the folder. result, the
    // caller's and empty, is filled as the scan goes: when this throws
    // (ScanError on failure, ScanStopped when the observer asked to stop) it
    // holds the entry files written until then, for the caller to keep or
    // release. Never ends the program.
    void scanFile(const std::string& path, ScanResult& result);

    // The entry files of the scan under way complete so far, and their bytes;
    // asked by the observer, on the scanning thread.
    std::int64_t entriesWritten() const { return m_writer ? m_writer->written() : 0; }
    std::int64_t bytesWritten() const { return m_writer ? m_writer->bytesWritten() : 0; }

private:
    static constexpr std::size_t kBatch = 1024; // entries handed to the writer at a time
    static constexpr int kPatienceMs = 50;      // between questions whether to stop while waiting
    void onHit(std::int64_t position);
    void checkStop();
    // Queues the entry from start (1-based) of length bytes for the writer.
    void queueEntry(std::int64_t start, std::int64_t length);
    void handOver();
    void awaitEntries(std::int64_t count);

    EntryFolder& m_folder;
    ScanObserver* m_observer;
    ScanGeometry m_geometry;

    // The scan under way. Entries go to the writer as soon as the tag after
    // them is found; only a bounded queue of them is ever held.
    const SourceReader* m_source = nullptr;
    ScanResult* m_result = nullptr;
    std::unique_ptr<EntryWriter> m_writer;
    std::vector<EntryWriter::Entry> m_batch;
    std::int64_t m_hitCount = 0, m_firstHit = 0, m_lastHit = 0; // 1-based positions
    std::int64_t m_length = 0;
};

} // namespace cp
