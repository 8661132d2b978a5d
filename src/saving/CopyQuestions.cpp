// SPDX-License-Identifier: GPL-3.0-or-later
#include "CopyQuestions.h"

#include "base/ShownPath.h"

namespace cp {

std::string replaceQuestionText(const std::string& path, const std::string& linkTarget)
{
    // A link's name alone would hide which file the answer is about.
    const std::string link
        = linkTarget.empty() ? std::string() : "\nDie Verknüpfung zeigt auf: „" + shownPath(linkTarget) + "“";
    return "Die Datei „" + shownPath(path) + "“ ist bereits vorhanden." + link + "\n\nMöchten Sie sie ersetzen?";
}

} // namespace cp
