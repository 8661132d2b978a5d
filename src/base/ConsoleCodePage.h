// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

namespace cp {

// For as long as it lives, the output is the same bytes as on Linux (UTF-8,
// lines ending in LF) and the console shows them as such; the console's code
// page is put back however the program ends, as the user's other programs
// expect theirs. Windows only.
class ConsoleCodePage {
public:
    ConsoleCodePage();
    ~ConsoleCodePage();
    ConsoleCodePage(const ConsoleCodePage&) = delete;
    ConsoleCodePage& operator=(const ConsoleCodePage&) = delete;

private:
    UINT m_previous;
};

} // namespace cp
