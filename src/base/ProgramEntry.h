// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

// The start of a program without a window: the platform's entry point
// (ProgramEntryPosix.cpp or ProgramEntryWin32.cpp, linked into the program)
// hands over the arguments after the program's name as UTF-8 on Windows,
// and as the bytes they are elsewhere.
int programMain(const std::vector<std::string>& arguments);
