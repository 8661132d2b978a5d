// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace cp {

// Which window a question belongs to, so that a face can put it over that one.
enum class DialogOwner { MainWindow, EntryList };

// What a copy asks the user and tells him, through the face's dialogs. Paths
// are the file system's bytes; texts are UTF-8.
class CopyQuestions {
public:
    virtual ~CopyQuestions() = default;

    // Whether a copy may replace the existing file at path; where path is a
    // symbolic link, linkTarget names where it leads (empty otherwise). The
    // answers for all further files and Cancel are offered only when several
    // are copied.
    enum class Replace { Yes, No, YesToAll, NoToAll, Cancel };
    virtual Replace askReplace(DialogOwner owner, const std::string& path, const std::string& linkTarget, bool several)
        = 0;

    // A window that shows how far a long copy has come, once it has taken
    // about a second, and lets the user cancel it.
    class Progress {
    public:
        virtual ~Progress() = default;
        // False once the user has cancelled.
        virtual bool update(std::int64_t done, std::int64_t total) = 0;
    };
    virtual std::unique_ptr<Progress> progress(DialogOwner owner, const std::string& label) = 0;

    // A modal message with the warning icon, for something that did not work.
    virtual void warning(DialogOwner owner, const std::string& caption, const std::string& text) = 0;
};

// The replace question's text, as every face asks it.
std::string replaceQuestionText(const std::string& path, const std::string& linkTarget);

} // namespace cp
