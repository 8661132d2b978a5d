// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FileIdentity.h"
#include "FileIo.h"

#include <cstdint>
#include <stop_token>
#include <string>

namespace cp {

// A window's record of the entry files it keeps in a folder, so that a start
// after the window was killed outright (out of memory, a logout) can remove
// them. The record stays locked while its run lives; an unlocked record is a
// dead run's, whichever pid namespace, container or host it ran in.
class RunJournal {
public:
    // Makes the record in folder; without one (a folder that takes none) the
    // run goes on unrecorded.
    explicit RunJournal(const std::string& folder);
    // The run ended normally and removed its own files: the record goes.
    ~RunJournal();
    RunJournal(const RunJournal&) = delete;
    RunJournal& operator=(const RunJournal&) = delete;

    // A new scan of source replaces whatever the record held.
    void beginScan(const std::string& source);
    // The entry file of that number is complete and this run's.
    void recordEntry(std::int64_t number, const FileIdentity& identity);

private:
    std::string m_path;
    NativeFile m_file = kNoFile;
    std::int64_t m_end = -1; // where the next record goes; -1: none is taken
};

// Removes the entry files of runs whose records in folder are no longer
// locked, each only while it is still the file that run wrote, then the
// records themselves. Stopped, it leaves the record it was at for the next
// sweep.
void removeEntryFilesOfEndedRuns(const std::string& folder, std::stop_token stop = {});

} // namespace cp
