// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace cp {

// The busy pointer over the program's windows for as long as it lives;
// nested ones stack, the last one gone restores the pointer.
class BusyPointer {
public:
    BusyPointer();
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

} // namespace cp
