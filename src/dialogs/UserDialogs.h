#pragma once

#include <QString>

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

    // A modal message with the information icon and an OK button.
    virtual void message(QWidget* owner, const QString& caption, const QString& text) = 0;
};

// Whether the running Qt platform shows windows to a person; offscreen and
// minimal do not, so a message box there would wait for nobody.
bool PlatformShowsWindows();

// Qt's own dialogs; the buttons speak the user's language. Where no window
// can be seen, messages go to stderr instead.
class QtUserDialogs final : public UserDialogs {
public:
    std::optional<OpenFileResult> openFile(QWidget* owner, const OpenFile& request) override;
    void message(QWidget* owner, const QString& caption, const QString& text) override;
};

// "description|pattern|..." as name filters for a Qt file dialog. The
// description is shown as it stands; "*.*" means every file, dot or not.
QStringList NameFiltersFromPairs(const QString& pairs);

} // namespace cp
