// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/NumberFormat.h"
#include "scan/OriginalFile.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

namespace cp {

inline constexpr const char* kExtractProgram = "chunkpicker-extract";

// What chunkpicker-extract is asked to do.
struct ExtractRequest {
    OriginalOptions options;
    bool json = false;
    std::vector<std::string> sources; // as given
    std::string folder;
};

enum class ExtractCall { Run, Help, Version, Wrong };

// Reads the arguments after the program's name: options (before "--"
// only), then the sources and the folder last.
ExtractCall parseExtractArguments(const std::vector<std::string>& arguments, ExtractRequest& request);

// Writes the entries of each source in turn into the folder, as the batch
// run does (names in order, nothing partial, a progress line on a terminal
// err) but shaped as the options say; a source that cannot be read is told
// on err and the next one taken, a folder that cannot be written ends the
// run. Then one flush of the folder. Per source a summary line on out, or
// with json the manifest there. Returns 0, 1 where anything was not
// written, 2 where the folder is missing, 130 after a stop.
int runExtract(const ExtractRequest& request, const NumberStyle& style, std::FILE* out, std::FILE* err,
               const std::atomic<bool>* stop);

} // namespace cp
