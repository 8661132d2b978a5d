#include "FileCopy.h"

#include "base/PathHelpers.h"

namespace cp {

CopyOutcome CopyWholeFile(const std::string& source, const std::string& target, bool replace,
                          const EntryFileWriter::KeepGoing& keepGoing)
{
    const SourceReader reader(source);
    // The new file is made beside the target, so that it can be renamed into place.
    const auto cut = target.find_last_of(kPathSeparator);
    EntryFileWriter writer(cut == std::string::npos ? "." : target.substr(0, cut + 1), target);
    writer.copyFrom(reader, 0, reader.size(), keepGoing);
    FileIdentity identity;
    return writer.publish(target, &identity, replace) ? CopyOutcome::Copied : CopyOutcome::TargetExists;
}

} // namespace cp
