// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramEntry.h"

#include "ConsoleCodePage.h"
#include "WideText.h"

#include <windows.h>

// wmain: the arguments as Windows holds them, in UTF-16, whatever the code
// page; the program works in UTF-8 and hands paths back as UTF-16.
int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(cp::utf8Text(argv[i]));
    const cp::ConsoleCodePage codePage;
    return programMain(arguments);
}
