// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/UserDialogs.h"

#include <windows.h>

#include <functional>

namespace cp {

// The system's file dialogs, the shell's folder picker, message boxes and
// task dialogs behind the logic's UserDialogs; each over the window its
// owner names.
class Win32UserDialogs final : public UserDialogs {
public:
    // owners: the window a dialog of each owner is put over (none: unowned).
    explicit Win32UserDialogs(std::function<HWND(DialogOwner)> owners) : m_owners(std::move(owners)) {}

    std::optional<OpenFileResult> openFile(DialogOwner owner, const OpenFile& request) override;
    std::optional<std::string> saveFile(DialogOwner owner, const SaveFile& request) override;
    std::optional<std::string> browseForFolder(DialogOwner owner, const std::string& title,
                                               const std::string& initialPath) override;
    bool notice(const std::string& text) override;
    void message(DialogOwner owner, const std::string& caption, const std::string& text) override;
    Replace askReplace(DialogOwner owner, const std::string& path, const std::string& linkTarget,
                       bool several) override;
    std::unique_ptr<Progress> progress(DialogOwner owner, const std::string& label) override;
    void warning(DialogOwner owner, const std::string& caption, const std::string& text) override;

private:
    HWND owner(DialogOwner which) const { return m_owners ? m_owners(which) : nullptr; }

    std::function<HWND(DialogOwner)> m_owners;
};

// "description|pattern|..." as the common dialogs take it: NUL between, two at the end.
std::wstring commonDialogFilter(const std::string& pairs);
// The filter the dialog starts with: index (1-based) where the pairs hold it, else the first.
DWORD preselectedFilter(const std::string& pairs, int index);

} // namespace cp
