// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/NumberFormat.h"
#include "saving/CopyQuestions.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace cp {

class CopyJob;
class SettingsStore;
class ShownScan;
class UserDialogs;

// Save, Save all and Save as originals: the file or folder the user picks (remembered for next
// time), the copies with their questions and progress, the one message
// about what failed, and the notice after a Save.
class SavingFlow {
public:
    struct Context {
        const ShownScan& entries;
        SettingsStore& settings;
        UserDialogs& dialogs;
        std::string programFolder; // where the file dialog starts the first time
        NumberStyle style;
        std::stop_token closing; // the window is closing: no more questions
    };
    explicit SavingFlow(Context context) : m_context(std::move(context)) {}

    // A copy is under way; closing waits for it.
    bool copying() const { return m_copying; }
    // Copies the current entry to a file the user names; nothing when he cancels.
    void saveCurrent();
    // Copies every entry into a folder the user picks.
    void saveAll();
    // The same for the given entries, in their order, asked over owner.
    void saveEntries(const std::vector<std::int64_t>& entries, DialogOwner owner);
    // The given entries' original files (planOriginal with every option),
    // each under its own name into a folder the user picks, as saveEntries
    // copies: two that would take one name are numbered ("door (2).wav"), so
    // that the question is asked only for the files that were there before.
    void saveOriginals(const std::vector<std::int64_t>& entries, DialogOwner owner);
    // "Sound<Count>.wav", the name the Save dialog proposes.
    std::string proposedName() const;
    // What the notice after a Save says.
    std::string savedNoticeText() const;

private:
    // The folder the user picks, as Save all picks it (and remembers it).
    std::optional<std::string> pickFolder(DialogOwner owner);
    void saveIntoFolder(std::int64_t count, const std::function<std::int64_t(std::int64_t)>& entryAt,
                        DialogOwner owner);
    void copyEntries(std::int64_t total, bool several, DialogOwner owner, const std::function<void(CopyJob&)>& copies);
    void showNotice(const std::string& settingName, const std::string& text);

    Context m_context;
    bool m_copying = false;
};

// The remembered folder of that setting (the fallback before one is), where
// the file dialogs start; empty when it is gone.
std::string rememberedFolder(const SettingsStore& settings, const std::string& settingName,
                             const std::string& fallback);
// Remembers the folder of the file the user chose, for the dialog's next
// start, where that folder exists.
void rememberFolderOf(SettingsStore& settings, const std::string& settingName, const std::string& chosenFile);

} // namespace cp
