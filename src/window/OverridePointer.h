// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace cp {

// A pointer shape over all of the program's windows for as long as it lives:
// the busy one during long work, the arrow while a notice waits to be read.
// Nested ones stack; the last one gone brings back the pointer before it.
class OverridePointer {
public:
    enum Shape { Busy, Arrow };
    explicit OverridePointer(Shape shape = Busy);
    ~OverridePointer();
    OverridePointer(const OverridePointer&) = delete;
    OverridePointer& operator=(const OverridePointer&) = delete;
};

} // namespace cp
