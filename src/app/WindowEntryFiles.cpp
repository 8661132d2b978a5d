// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowEntryFiles.h"

#include "StartupSteps.h"

#include "files/PrivateFolder.h"

namespace cp {

namespace {

const std::string& windowFolder(StartupState& state)
{
    if (!state.targetGiven)
        state.targetFolder = privateRunFolder(state.targetFolder);
    return state.targetFolder;
}

} // namespace

WindowEntryFiles::WindowEntryFiles(StartupState& state) : m_folder {windowFolder(state)}
{
    if (state.targetGiven)
        return;
    m_journal.emplace(state.targetFolder);
    m_folder.journal = &*m_journal;
    m_leftovers = startLeftoverSweep(state.targetFolder);
}

} // namespace cp
