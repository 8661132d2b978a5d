// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FileIo.h"

#include <cstdint>
#include <string>

namespace cp {

enum class CopyOutcome { Copied, TargetExists };

// Copies the whole of source to target (a full file path) through a new
// file in the target's folder, so the target name only ever holds a complete
// copy, and a failed or stopped copy leaves the file it was to replace whole.
// Without replace an existing target is left alone and reported; the source is
// only read. copied (if given) receives the bytes of a complete copy. Throws
// ScanError naming the file at fault, ScanStopped when keepGoing says no.
CopyOutcome copyWholeFile(const std::string& source, const std::string& target, bool replace,
                          const EntryFileWriter::KeepGoing& keepGoing = {}, std::int64_t* copied = nullptr);

} // namespace cp
