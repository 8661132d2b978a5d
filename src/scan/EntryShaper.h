// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace cp {

class SourceReader;

// Where a run writes its entries otherwise than each whole under its
// number's name: the length and the name of each entry's file. A name taken
// is numbered ("door (2).wav"), never replaced. Called from the writer's
// threads: shape() for several entries at once, firstAttempt() and named()
// for one entry at a time, in entry order.
class EntryShaper {
public:
    struct Shape {
        std::int64_t length = 0; // from the tag on, at most the entry's
        std::string name;        // a file name in the folder
    };
    virtual ~EntryShaper() = default;

    // Entry index (0-based in its scan) of length bytes at offset (0-based)
    // of source. Throws ScanError where the source cannot be read.
    virtual Shape shape(const SourceReader& source, std::size_t index, std::int64_t offset, std::int64_t length) = 0;
    // The numbering to try first for name: 1 for the name itself, more where
    // the run has given that name and its numbers up to there already.
    virtual int firstAttempt(const std::string& name) = 0;
    // The entry's file took numberedName(name, attempt).
    virtual void named(std::size_t index, const std::string& name, int attempt) = 0;
};

} // namespace cp
