// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/UserDialogs.h"

#include <QElapsedTimer>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QWidget;

namespace cp {

// The copies of one saving command, done the way the desktop's own file copy
// does them: it asks before replacing a file, shows a progress window (that
// can cancel) for a copy that takes long, and afterwards tells the user once
// what could not be copied and why. Copies go through a new file renamed into
// place, so no target is ever left half-written or lost.
class ShellCopy {
public:
    // total: the bytes all copies of the command will take, for the progress
    // window; several: more than one file, so the "all" answers are offered.
    // stopping() is asked between pieces; true ends the command as a cancel.
    ShellCopy(UserDialogs& dialogs, QWidget* owner, std::int64_t total, bool several,
              std::function<bool()> stopping);

    // Copies source to target: into an existing folder under the source's own
    // name, otherwise to that full path. True when the copy is complete; false
    // when it failed, was declined or cancelled.
    bool copyFile(const std::string& source, const std::string& target);

    // The user cancelled (or the window is closing): nothing more is copied.
    bool cancelled() const { return m_cancelled; }

    // One warning for all the copies that failed, naming the first and why.
    void reportFailures();

private:
    bool stopped(); // cancelled, or the window is closing
    bool keepGoing(std::int64_t copied);
    // The user's answer (or the one given for all) to replacing path.
    bool mayReplace(const std::string& path);

    UserDialogs& m_dialogs;
    QWidget* m_owner;
    std::int64_t m_total;
    std::int64_t m_done = 0;
    bool m_several;
    std::function<bool()> m_stopping;
    QString m_progressLabel;
    std::unique_ptr<UserDialogs::Progress> m_progress; // while a copy runs, not while a question waits
    QElapsedTimer m_sinceUpdate;
    std::optional<UserDialogs::Replace> m_answerForAll;
    bool m_cancelled = false;
    int m_failures = 0;
    QString m_firstFailure;
};

// The bytes of the file at path; 0 when it cannot be told.
std::int64_t fileSizeOrZero(const std::string& path);

} // namespace cp
