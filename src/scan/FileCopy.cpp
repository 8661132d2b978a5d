#include "FileCopy.h"

#include "base/PathHelpers.h"

namespace cp {

CopyOutcome CopyWholeFile(const std::string& source, const std::string& target, bool replace,
                          const EntryFileWriter::KeepGoing& keepGoing, std::int64_t* copied)
{
    const SourceReader reader(source);
    // The new file is made beside the target, so that it can be renamed into place.
    const auto cut = target.find_last_of(kPathSeparator);
    EntryFileWriter writer(cut == std::string::npos ? "." : target.substr(0, cut + 1), target);
    writer.copyFrom(reader, 0, reader.size(), keepGoing);
    FileIdentity identity;
    if (!writer.publish(target, &identity, replace))
        return CopyOutcome::TargetExists;
    if (copied)
        *copied = reader.size();
    return CopyOutcome::Copied;
}

} // namespace cp
