// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileCopy.h"

#include "base/PathHelpers.h"

#include <mutex>
#include <set>

namespace cp {

namespace {

// A copy killed under a temporary name leaves it behind; the first copy into
// a folder removes such files, later ones need not read the folder again.
void sweepFolderOnce(const std::string& folder)
{
    static std::mutex mutex;
    static std::set<std::string> swept;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (!swept.insert(folder).second)
            return;
    }
    removeStaleTemporaries(folder);
}

} // namespace

CopyOutcome copyWholeFile(const std::string& source, const std::string& target, bool replace,
                          const EntryFileWriter::KeepGoing& keepGoing, std::int64_t* copied)
{
    const SourceReader reader(source);
    // Through a symbolic link to its file, as cp and editors write, so the link stays.
    const std::string file = followLinks(target);
    // The new file is made beside the file it becomes, so that it can be renamed into place.
    const auto cut = file.find_last_of(kPathSeparator);
    const std::string folder = cut == std::string::npos ? "." : file.substr(0, cut + 1);
    sweepFolderOnce(folder);
    EntryFileWriter writer(folder, target, unnamedFilesCanBeNamed());
    writer.copyFrom(reader, 0, reader.size(), keepGoing);
    FileIdentity identity;
    if (!writer.publish(file, &identity, replace))
        return CopyOutcome::TargetExists;
    if (copied)
        *copied = reader.size();
    return CopyOutcome::Copied;
}

} // namespace cp
