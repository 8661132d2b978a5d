// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileTypes.h"

#include "desktop/WindowsFileTypeRegistry.h"
#include "files/PathChecks.h"

namespace cp {

namespace {

// Files opened from Explorer go to the window: the console twin
// (chunkpicker.com) names chunkpicker.exe beside it.
std::string windowProgram(std::string path)
{
    const std::size_t suffix = path.size() >= 4 ? path.size() - 4 : 0;
    if (path.size() < 4 || _stricmp(path.c_str() + suffix, ".com") != 0)
        return path;
    const std::string window = path.substr(0, suffix) + ".exe";
    return pathExists(window) ? window : path;
}

} // namespace

// The icon comes from the program's own resources: nothing is left out there.
FileTypeRegistration registerProgramFileTypes()
{
    WindowsFileTypeRegistry registry(windowProgram(executablePath()));
    return {registerFileTypes(registry), {}};
}

} // namespace cp
