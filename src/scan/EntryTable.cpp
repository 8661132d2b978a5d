#include "EntryTable.h"

#include "FileIo.h"
#include "base/PathHelpers.h"

#include <cstdio>

namespace cp {

std::string NextEntryFileName(EntryTable& table, const StartupState& startup, const std::string& source)
{
    const std::string folder = AddBackslash(startup.TargetFolder);
    const std::string tail = " aus " + GetFileName(source) + ".wav";
    for (;;) {
        ++table.EntryFileNumber;
        char number[32];
        std::snprintf(number, sizeof number, "%03lld", static_cast<long long>(table.EntryFileNumber));
        std::string candidate = folder + "Sound" + number + tail;
        if (!FileExists(candidate))
            return candidate;
    }
}

void ReleaseEntryFiles(EntryTable& table, EntryFileHolder* holder)
{
    bool ownsAny = false;
    for (const bool owned : table.EntryFileOwned)
        ownsAny = ownsAny || owned;
    if (table.ScannedFile.empty() && !ownsAny)
        return;

    if (holder)
        holder->closeEntryFile();
    for (std::size_t i = 0; i < table.EntryFileOwned.size() && i < table.EntryFiles.size(); ++i) {
        if (table.EntryFileOwned[i] && RemoveFile(table.EntryFiles[i]))
            table.EntryFileOwned[i] = false;
    }
}

} // namespace cp
