// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileTypes.h"

#include "desktop/XdgFileTypeRegistry.h"
#include "window/Icons.h"

namespace cp {

FileTypeRegistration registerProgramFileTypes()
{
    XdgFileTypeRegistry registry(XdgFileTypeRegistry::Places::fromEnvironment(), executablePath(),
                                 applicationIconSvg().toStdString());
    FileTypeRegistration registration {registerFileTypes(registry), {}};
    registration.skipped = registry.skipped();
    return registration;
}

} // namespace cp
