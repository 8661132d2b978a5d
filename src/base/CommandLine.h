// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FileProbe.h"
#include "base/StartupState.h"

#include <string>
#include <vector>

namespace cp {

inline constexpr const char* kApplicationTitle = "Chunk Picker";
inline constexpr const char* kUsageLine = "Syntax:  Chunkpicker.exe  [Quelldatei  [Zielverz]]";

// "Ungültige Kommandozeilenparameter!", an empty line, then the usage line.
// lineBreak is the platform's: a message box on Windows breaks on CR.
std::string invalidParametersMessage(const std::string& lineBreak = "\n");

// The argument text as the program sees it: the arguments after the program's
// own name, joined by single blanks (the way a shell had split them).
std::string argumentText(const std::vector<std::string>& arguments);

// Resolves the argument text into the start-up state. Returns false for an
// invalid command line, in which case state holds what was decided so far
// and cause says which part was not found.
bool resolveCommandLine(const std::string& argumentText, FileProbe& probe, StartupState& state,
                        std::string* cause = nullptr);

} // namespace cp
