// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/UserDialogs.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>

namespace cp {

// Whether the running Qt platform shows windows to a person; offscreen and
// minimal do not, so a message box there would wait for nobody.
bool platformShowsWindows();

// Closes every modal dialog still open, innermost first, each as its cancel
// would: when the program must end, none may wait for an answer.
void cancelOpenDialogs();

// Qt's own dialogs; the buttons speak the user's language. Where no window
// can be seen, messages go to stderr instead.
class QtUserDialogs final : public UserDialogs {
public:
    // everywhere: show the boxes even where nobody sees them (for tests that answer them).
    explicit QtUserDialogs(bool everywhere = false) : m_everywhere(everywhere) {}
    // The window each owner's dialogs are put over; where none is set, the
    // entry list's own window for its dialogs, the screen's centre for the others.
    void setOwner(DialogOwner owner, QWidget* window) { m_owners.at(std::size_t(owner)) = window; }

    std::optional<OpenFileResult> openFile(DialogOwner owner, const OpenFile& request) override;
    std::optional<std::string> saveFile(DialogOwner owner, const SaveFile& request) override;
    std::optional<std::string> browseForFolder(DialogOwner owner, const std::string& title,
                                               const std::string& initialPath) override;
    Replace askReplace(DialogOwner owner, const std::string& path, const std::string& linkTarget,
                       bool several) override;
    std::unique_ptr<Progress> progress(DialogOwner owner, const std::string& label) override;
    bool notice(const std::string& text) override;
    void message(DialogOwner owner, const std::string& caption, const std::string& text) override;
    void warning(DialogOwner owner, const std::string& caption, const std::string& text) override;

private:
    bool showsWindows() const { return m_everywhere || platformShowsWindows(); }
    QWidget* owner(DialogOwner which) const;
    bool m_everywhere;
    std::array<QPointer<QWidget>, 2> m_owners;
};

// Qt's folder dialog, the platform's own where there is one: a folder's full
// path, or an empty string on cancel.
QString browseForFolder(QWidget* owner, const QString& title, const QString& initialPath);

// "description|pattern|..." as name filters for a Qt file dialog. The
// description is shown as it stands; "*.*" means every file, dot or not.
QStringList nameFiltersFromPairs(const QString& pairs);

// A path's bytes as Qt text and back, as the file system's encoding has them.
QString pathText(const std::string& path);
std::string pathBytes(const QString& path);

} // namespace cp
