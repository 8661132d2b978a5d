// SPDX-License-Identifier: GPL-3.0-or-later
#include "StartupSteps.h"

#include "base/CommandLine.h"
#include "files/RunJournal.h"
#include "logic/ErrorReport.h"
#include "logic/UserDialogs.h"

#include <cstdio>
#include <system_error>

namespace cp {

int refuseCommandLine(const std::string& cause)
{
    std::fprintf(stderr, "%s\n%s\n", invalidParametersMessage().c_str(), cause.c_str());
    return 2;
}

void reportRegistrationFailures(const std::vector<RegistrationFailure>& failures, UserDialogs* dialogs)
{
    for (const auto& failure : failures) {
        const std::string caption = reportErrorCaption(failure.number);
        const std::string text = reportErrorText("RegisterFile", failure.description);
        if (dialogs)
            dialogs->message(DialogOwner::MainWindow, caption, text);
        else
            std::fprintf(stderr, "%s\n%s\n", caption.c_str(), text.c_str());
    }
}

std::jthread startLeftoverSweep(const std::string& folder)
{
    try {
        return std::jthread([folder](std::stop_token stop) {
            try {
                removeEntryFilesOfEndedRuns(folder, stop);
            } catch (...) {
                // No memory for a name: the rest stays for the next start.
            }
        });
    } catch (const std::system_error&) {
        return {};
    }
}

} // namespace cp
