// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scan/OriginalFile.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace cp {

// The JSON manifest of what an extraction wrote: an array with one object per
// file, written as each file takes its name, so that a million entries cost
// no memory and an interrupted run's manifest lists what is there.
class ManifestWriter {
public:
    struct Record {
        std::string source;      // the path as given
        std::int64_t number = 0; // the entry's in its source, from 1
        std::int64_t offset = 0; // of its tag, 0-based
        std::int64_t length = 0; // the entry's
        OriginalFile original;   // what was written, and why
        std::string name;        // the file's name in the folder, numbering included
    };

    explicit ManifestWriter(std::FILE* out);
    void add(const Record& record);
    // Closes the array; false where any of the output was lost.
    bool finish();

private:
    std::FILE* m_out;
    bool m_any = false;
};

} // namespace cp
