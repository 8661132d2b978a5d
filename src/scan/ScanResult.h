// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/EntryFileName.h"
#include "files/FileIdentity.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace cp {

class EntryShaper;
class RunJournal;

// The entry files of one scan, in entry order. Names are derived from their
// numbers, and numbers run on by one from entry to entry except where a name
// was taken, so an entry costs the 8 bytes of its key however long its path
// is. Index i holds entry i + 1.
class EntryFileList {
public:
    EntryFileList() = default;
    EntryFileList(const std::string& folder, const std::string& source);

    std::size_t size() const { return m_keys.size(); }
    bool empty() const { return m_keys.empty(); }
    std::string operator[](std::size_t index) const;

    // The next entry's file, complete and this run's under that number;
    // numbers only grow.
    // With a name (a shaped entry's), the file is that name in the folder.
    void append(std::int64_t number, FileIdentity identity, const std::string& name = {});
    std::int64_t number(std::size_t index) const;
    std::int64_t ownedCount() const;

    // Deletes the owned files that are still the files this run created;
    // a file that is gone or was replaced by someone else is no longer ours.
    // One that cannot be deleted stays owned.
    void removeOwned();

private:
    // From index on, numbers count up from number.
    struct NumberRun {
        std::size_t index;
        std::int64_t number;
    };
    std::string m_folder;
    std::string m_source;
    std::uint64_t m_device = 0; // every entry file lies in the one folder
    std::vector<NumberRun> m_runs;
    std::deque<std::uint64_t> m_keys; // FileIdentity::key(); 0: no longer this run's
    std::deque<std::string> m_names;  // of shaped entries, by index; none for the others
};

// Where a run writes its entry files. Numbers go on across the scans of a
// run, so a window never hands a new entry the name an old one had.
struct EntryFolder {
    std::string path;            // as typed, or the temporary folder
    std::int64_t lastNumber = 0; // the number of the last entry file named
    // Where a window records its entry files for the next start to remove,
    // should it be killed; none in a batch run, whose files are its output.
    RunJournal* journal = nullptr;
    // The run flushes the folder at its end (a batch run): each entry file's
    // way to the disk starts as soon as it is complete, beside the copying.
    bool flushedAtEnd = false;
    // The scan's result keeps where each entry's tag lies (8 bytes an entry),
    // for a window's entry list; a batch run has no use for them.
    bool keepsTagPositions = false;
    // Entries written trimmed or named from their data; none: whole, named by number.
    EntryShaper* shaper = nullptr;
};

// Something that may keep an entry file open (the wave device) and must let go
// of it before the file is deleted.
class EntryFileHolder {
public:
    virtual ~EntryFileHolder() = default;
    virtual void closeEntryFile() = 0;
};

// What one scan found and wrote: the caller owns it. However the scan ended,
// it holds what was done until then; entry n (1-based, as the user counts)
// is entryFiles[n - 1].
struct ScanResult {
    std::string sourceFile;        // the path scanned, as given
    std::int64_t sourceLength = 0; // its bytes when opened
    std::int64_t entryCount = 0;   // the tags the search found; 0 until it ends
    std::int64_t firstTag = 0;     // 1-based; 0 without entries
    double unknownShare = 1.0;     // the share of the file before the first tag
    EntryFileList entryFiles;      // the entry files this scan has named so far
    bool complete = false;         // searched and every entry written
    // Entry n's tag at [n - 1], 1-based, where the folder keeps them; else empty.
    std::deque<std::int64_t> tagPositions;

    std::string entryFile(std::int64_t entry) const { return entryFiles[std::size_t(entry - 1)]; }
    // The bytes of entry index (0-based) in the source, from its tag to the
    // next or to the end of the file; needs the tag positions.
    std::int64_t entryLength(std::size_t index) const
    {
        return (index + 1 < tagPositions.size() ? tagPositions[index + 1] : sourceLength + 1) - tagPositions[index];
    }
    // Closes the holder (if any) and deletes the entry files this scan
    // created, when there are any. Never fails; a file that cannot be deleted stays owned and is
    // tried again at the next release.
    void release(EntryFileHolder* holder);
};

} // namespace cp
