#include "FileCopy.h"

#include "base/PathHelpers.h"

namespace cp {

std::string FolderOf(const std::string& path)
{
    const auto at = path.find_last_of(kPathSeparator);
    if (at == std::string::npos)
        return ".";
    return at == 0 ? path.substr(0, 1) : path.substr(0, at);
}

CopyOutcome CopyWholeFile(const std::string& source, const std::string& target, bool replace,
                          const EntryFileWriter::KeepGoing& keepGoing)
{
    const SourceReader reader(source);
    EntryFileWriter writer(FolderOf(target), target);
    writer.copyFrom(reader, 0, reader.size(), keepGoing);
    FileIdentity identity;
    return writer.publish(target, &identity, replace) ? CopyOutcome::Copied : CopyOutcome::TargetExists;
}

} // namespace cp
