// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileTypes.h"

#include "desktop/WindowsFileTypeRegistry.h"

namespace cp {

// The icon comes from the program's own resources: nothing is left out there.
FileTypeRegistration registerProgramFileTypes()
{
    WindowsFileTypeRegistry registry(executablePath());
    return {registerFileTypes(registry), {}};
}

} // namespace cp
