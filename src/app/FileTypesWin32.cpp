// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileTypes.h"

#include "desktop/WindowsFileTypeRegistry.h"
#include "files/PathChecks.h"

#include <algorithm>
#include <cctype>

namespace cp {

namespace {

// Files opened from Explorer go to the window: the console twin
// (chunkpicker.com) names chunkpicker.exe beside it.
std::string windowProgram(std::string path)
{
    std::string suffix = path.substr(path.size() - std::min<std::size_t>(path.size(), 4));
    for (char& c : suffix)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    if (suffix != ".com")
        return path;
    const std::string window = path.substr(0, path.size() - 4) + ".exe";
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
