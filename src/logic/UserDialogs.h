// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "saving/CopyQuestions.h"

#include <optional>
#include <string>

namespace cp {

// The system's file dialogs and message boxes, as a face provides them, so
// that the window's commands can be tested with dialogs that answer at once.
// Paths are the file system's bytes; texts are UTF-8.
class UserDialogs : public CopyQuestions {
public:
    struct OpenFile {
        std::string initialDir;
        std::string filter;   // "description|pattern|description|pattern..."
        int filterIndex = 0;  // 1-based; 0 or out of range preselects the first
        std::string fileName; // what the previous use of the dialog left
    };
    struct OpenFileResult {
        std::string fileName; // full path
        int filterIndex = 1;
    };
    // Modal; nothing when the user cancels.
    virtual std::optional<OpenFileResult> openFile(DialogOwner owner, const OpenFile& request) = 0;

    struct SaveFile {
        std::string initialDir;
        std::string filter;        // as for OpenFile
        std::string defaultSuffix; // added when the name typed has none, without the dot
        std::string fileName;      // the name proposed
    };
    // Modal; the full path chosen, nothing when the user cancels. It asks
    // nothing about an existing file of that name: the copy does.
    virtual std::optional<std::string> saveFile(DialogOwner owner, const SaveFile& request) = 0;

    // The folder picker: modal, only folders can be confirmed, initialPath
    // (when not empty) selected at the start. Nothing when the user cancels.
    virtual std::optional<std::string> browseForFolder(DialogOwner owner, const std::string& title,
                                                       const std::string& initialPath)
        = 0;

    // The once-only notice, shown modally without an owner, with the arrow
    // pointer whatever the pointer was. True when the user ticked "never
    // again" and confirmed with OK or Enter.
    virtual bool notice(const std::string& text) = 0;

    // A modal message with the information icon and an OK button.
    virtual void message(DialogOwner owner, const std::string& caption, const std::string& text) = 0;
};

} // namespace cp
