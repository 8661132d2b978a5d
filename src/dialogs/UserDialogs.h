// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

class QWidget;

namespace cp {

// The system's file dialogs and message boxes: the platform part behind the
// commands, so that commands can be tested with dialogs that answer at once.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    struct OpenFile {
        QString initialDir;
        QString filter;      // "description|pattern|description|pattern..."
        int filterIndex = 0; // 1-based; 0 or out of range preselects the first
        QString fileName;    // what the previous use of the dialog left
    };
    struct OpenFileResult {
        QString fileName; // full path
        int filterIndex = 1;
    };
    // Modal; nothing when the user cancels.
    virtual std::optional<OpenFileResult> openFile(QWidget* owner, const OpenFile& request) = 0;

    struct SaveFile {
        QString initialDir;
        QString filter;        // as for OpenFile
        QString defaultSuffix; // added when the name typed has none, without the dot
        QString fileName;      // the name proposed
    };
    // Modal; the full path chosen, nothing when the user cancels. It asks
    // nothing about an existing file of that name: the copy does.
    virtual std::optional<QString> saveFile(QWidget* owner, const SaveFile& request) = 0;

    // The folder picker: modal, only folders can be confirmed, initialPath
    // (when not empty) selected at the start. The folder's full path, or an
    // empty string when the user cancels.
    virtual QString browseForFolder(QWidget* owner, const QString& title, const QString& initialPath) = 0;

    // Whether a copy may replace the existing file at path; where path is a
    // symbolic link, linkTarget names where it leads (empty otherwise). The
    // answers for all further files and Cancel are offered only when several
    // are copied.
    enum class Replace { Yes, No, YesToAll, NoToAll, Cancel };
    virtual Replace askReplace(QWidget* owner, const QString& path, const QString& linkTarget, bool several) = 0;

    // A window that shows how far a long copy has come, once it has taken
    // about a second, and lets the user cancel it.
    class Progress {
    public:
        virtual ~Progress() = default;
        // False once the user has cancelled.
        virtual bool update(std::int64_t done, std::int64_t total) = 0;
    };
    virtual std::unique_ptr<Progress> progress(QWidget* owner, const QString& label) = 0;

    // The once-only notice, shown modally without an owner. True when the
    // user ticked "never again" and confirmed with OK or Enter.
    virtual bool notice(const QString& text) = 0;

    // A modal message with the information icon and an OK button.
    virtual void message(QWidget* owner, const QString& caption, const QString& text) = 0;
    // The same with the warning icon, for something that did not work.
    virtual void warning(QWidget* owner, const QString& caption, const QString& text) = 0;
};

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
    std::optional<OpenFileResult> openFile(QWidget* owner, const OpenFile& request) override;
    std::optional<QString> saveFile(QWidget* owner, const SaveFile& request) override;
    QString browseForFolder(QWidget* owner, const QString& title, const QString& initialPath) override;
    Replace askReplace(QWidget* owner, const QString& path, const QString& linkTarget, bool several) override;
    std::unique_ptr<Progress> progress(QWidget* owner, const QString& label) override;
    bool notice(const QString& text) override;
    void message(QWidget* owner, const QString& caption, const QString& text) override;
    void warning(QWidget* owner, const QString& caption, const QString& text) override;

private:
    bool showsWindows() const { return m_everywhere || platformShowsWindows(); }
    bool m_everywhere;
};

// Qt's folder dialog, the platform's own where there is one: a folder's full
// path, or an empty string on cancel.
QString browseForFolder(QWidget* owner, const QString& title, const QString& initialPath);

// "description|pattern|..." as name filters for a Qt file dialog. The
// description is shown as it stands; "*.*" means every file, dot or not.
QStringList nameFiltersFromPairs(const QString& pairs);

} // namespace cp
