// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileTypes.h"

#include "desktop/XdgFileTypeRegistry.h"
#include "window/Icons.h"

namespace cp {

FileTypeRegistration RegisterProgramFileTypes()
{
    XdgFileTypeRegistry registry(XdgFileTypeRegistry::Places::FromEnvironment(), ExecutablePath(),
                                 ApplicationIconSvg().toStdString());
    FileTypeRegistration registration {RegisterFileTypes(registry), {}};
    registration.skipped = registry.skipped();
    return registration;
}

} // namespace cp
