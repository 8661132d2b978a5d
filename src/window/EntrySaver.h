// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace cp {

class EntryBrowser;
class SettingsStore;
class CopyJob;
class UserDialogs;

// Save and Save all: the file or folder the user picks (remembered for next
// time), the copies with their questions and progress, the one message
// about what failed, and the notice after a Save.
class EntrySaver {
public:
    struct Context {
        const EntryBrowser& entries;
        SettingsStore& settings;
        UserDialogs& dialogs;
        QString programFolder;         // where the file dialog starts the first time
        std::function<bool()> closing; // the window is closing: no more questions
    };

    explicit EntrySaver(Context context);

    // A copy is under way; closing waits for it.
    bool copying() const { return m_copying; }

    // Copies the current entry to a file the user names. Throws CommandError
    // when the dialog is cancelled.
    void saveCurrent(QWidget* owner);
    // Copies every entry into a folder the user picks.
    void saveAll(QWidget* owner);
    // The same for the given entries, in their order.
    void saveEntries(const std::vector<std::int64_t>& entries, QWidget* owner);

    // "Sound<Count>.wav", the name the Save dialog proposes.
    QString proposedName() const;
    // What the notice after a Save says.
    QString savedNoticeText() const;

private:
    void saveIntoFolder(std::int64_t count, const std::function<std::int64_t(std::int64_t)>& entryAt, QWidget* owner);
    void copyEntries(std::int64_t total, bool several, const std::function<void(CopyJob&)>& copies, QWidget* owner);
    void showNotice(const QString& settingName, const QString& text);

    Context m_context;
    bool m_copying = false;
};

// The remembered folder of that setting (the fallback before one is), made
// the current one, as the file dialogs start there; empty when it is gone.
QString enterRememberedFolder(const SettingsStore& settings, const QString& settingName, const QString& fallback);

} // namespace cp
