// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "desktop/FileTypeRegistry.h"

#include <string>
#include <vector>

namespace cp {

// What registering the program's file types came to.
struct FileTypeRegistration {
    std::vector<RegistrationFailure> failures;
    // Why the default was left out, for a batch run to tell; empty when it was not.
    std::string skipped;
};

// Registers the program's file types in the desktop's own way for the
// program where it now lies. One implementation per platform, picked by the
// build: FileTypesPosix.cpp (freedesktop.org), FileTypesWin32.cpp (the
// registry's classes).
FileTypeRegistration registerProgramFileTypes();

} // namespace cp
