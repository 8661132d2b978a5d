#pragma once

#include "base/StartupState.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cp {

// The state every entry command works on. Entry numbers are 1-based, as the
// user sees them; EntryFiles[n - 1] holds entry n.
struct EntryTable {
    std::vector<std::string> EntryFiles; // replaced by every scan that finds entries
    std::int64_t EntryCount = 0;         // entries of the last completed search
    std::int64_t CurrentEntry = 0;       // 0: none, else 1..EntryCount
    std::string ScannedFile;             // path of the last completed scan

    // Raised before every name tried; never reset within a run, so numbers go on
    // across scans.
    std::int64_t EntryFileNumber = 0;

    // Parallel to EntryFiles: true while the file was created by this run and
    // has not been deleted since. The clean-up deletes only these, so a file
    // that appears later under an old name is never touched.
    std::vector<bool> EntryFileOwned;

    const std::string& entryFile(std::int64_t entry) const { return EntryFiles.at(std::size_t(entry - 1)); }
};

// A full path in the target folder under which no file exists right now:
// "Sound" + number (three digits at least) + " aus " + the source's name + ".wav".
// Folders do not count as taken; any kind of file does. Throws ScanError when
// the existence test itself fails (e.g. the folder may not be searched).
std::string NextEntryFileName(EntryTable& table, const StartupState& startup, const std::string& source);

// Something that may keep an entry file open (the wave device) and must let go
// of it before the file is deleted.
class EntryFileHolder {
public:
    virtual ~EntryFileHolder() = default;
    virtual void closeEntryFile() = 0;
};

// Closes the holder and deletes the entry files this run created. Never fails;
// a file that cannot be deleted stays listed as owned and is tried again at
// the next clean-up. The table's fields otherwise keep their values.
void ReleaseEntryFiles(EntryTable& table, EntryFileHolder* holder);

} // namespace cp
