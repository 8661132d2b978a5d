// SPDX-License-Identifier: GPL-3.0-or-later
#include "Win32UserDialogs.h"

#include "Win32NoticeDialog.h"
#include "Win32ProgressWindow.h"
#include "Win32ThreadModality.h"

#include "base/CommandLine.h"
#include "base/WideText.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shobjidl.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <vector>

namespace cp {

namespace {

constexpr DWORD kLongPath = 32768; // the longest path the system takes, in UTF-16 units

// A common file dialog's request, with the texts it points into.
struct FileDialog {
    FileDialog(HWND owner, const std::string& filterPairs, const std::string& initial, const std::string& proposed)
        : filter(commonDialogFilter(filterPairs))
        , initialDir(wideText(initial))
    {
        const std::wstring name = wideText(proposed);
        name.copy(file.data(), std::min<std::size_t>(name.size(), kLongPath - 1));
        request.lStructSize = sizeof request;
        request.hwndOwner = owner;
        request.lpstrFilter = filter.c_str();
        request.nFilterIndex = 1;
        request.lpstrFile = file.data();
        request.nMaxFile = kLongPath;
        request.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
        // The remembered folders serve: the process's current folder stays where it is.
        request.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    }
    FileDialog(const FileDialog&) = delete;
    FileDialog& operator=(const FileDialog&) = delete;

    std::wstring filter;
    std::wstring initialDir;
    std::vector<wchar_t> file = std::vector<wchar_t>(kLongPath, L'\0');
    OPENFILENAMEW request {};
};

} // namespace

DWORD preselectedFilter(const std::string& pairs, int index)
{
    const int filters = int(std::count(pairs.begin(), pairs.end(), '|') + 1) / 2;
    return DWORD(index >= 1 && index <= filters ? index : 1);
}

std::wstring commonDialogFilter(const std::string& pairs)
{
    std::wstring filter = wideText(pairs);
    for (wchar_t& c : filter)
        if (c == L'|')
            c = L'\0';
    filter.append(2, L'\0');
    return filter;
}

std::optional<UserDialogs::OpenFileResult> Win32UserDialogs::openFile(DialogOwner owner, const OpenFile& request)
{
    FileDialog dialog(this->owner(owner), request.filter, request.initialDir, request.fileName);
    dialog.request.nFilterIndex = preselectedFilter(request.filter, request.filterIndex);
    dialog.request.Flags |= OFN_FILEMUSTEXIST;
    const Win32ThreadModality modality(dialog.request.hwndOwner);
    if (!::GetOpenFileNameW(&dialog.request))
        return std::nullopt;
    return OpenFileResult {utf8Text(dialog.file.data()), int(dialog.request.nFilterIndex)};
}

std::optional<std::string> Win32UserDialogs::saveFile(DialogOwner owner, const SaveFile& request)
{
    FileDialog dialog(this->owner(owner), request.filter, request.initialDir, request.fileName);
    const std::wstring suffix = wideText(request.defaultSuffix);
    dialog.request.lpstrDefExt = suffix.empty() ? nullptr : suffix.c_str();
    // The copy asks before it replaces a file; asking here too would ask twice.
    const Win32ThreadModality modality(dialog.request.hwndOwner);
    if (!::GetSaveFileNameW(&dialog.request))
        return std::nullopt;
    return utf8Text(dialog.file.data());
}

std::optional<std::string> Win32UserDialogs::browseForFolder(DialogOwner owner, const std::string& title,
                                                             const std::string& initialPath)
{
    // The shell's folder picker of today, in which a path can be typed too.
    IFileOpenDialog* dialog = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog))))
        return std::nullopt;
    std::optional<std::string> chosen;
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | FOS_NOCHANGEDIR);
    dialog->SetTitle(wideText(title).c_str());
    IShellItem* start = nullptr;
    if (!initialPath.empty()
        && SUCCEEDED(::SHCreateItemFromParsingName(wideText(initialPath).c_str(), nullptr, IID_PPV_ARGS(&start)))) {
        dialog->SetFolder(start);
        start->Release();
    }
    IShellItem* result = nullptr;
    const Win32ThreadModality modality(this->owner(owner));
    if (SUCCEEDED(dialog->Show(this->owner(owner))) && SUCCEEDED(dialog->GetResult(&result))) {
        wchar_t* path = nullptr;
        if (SUCCEEDED(result->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
            chosen = utf8Text(path);
            ::CoTaskMemFree(path);
        }
        result->Release();
    }
    dialog->Release();
    return chosen;
}

bool Win32UserDialogs::notice(const std::string& text)
{
    const Win32ThreadModality modality;
    return Win32NoticeDialog::show(text);
}

void Win32UserDialogs::message(DialogOwner owner, const std::string& caption, const std::string& text)
{
    const Win32ThreadModality modality(this->owner(owner));
    ::MessageBoxW(this->owner(owner), wideText(text).c_str(), wideText(caption).c_str(), MB_OK | MB_ICONINFORMATION);
}

void Win32UserDialogs::warning(DialogOwner owner, const std::string& caption, const std::string& text)
{
    const Win32ThreadModality modality(this->owner(owner));
    ::MessageBoxW(this->owner(owner), wideText(text).c_str(), wideText(caption).c_str(), MB_OK | MB_ICONWARNING);
}

UserDialogs::Replace Win32UserDialogs::askReplace(DialogOwner owner, const std::string& path,
                                                  const std::string& linkTarget, bool several)
{
    const std::wstring text = wideText(replaceQuestionText(path, linkTarget));
    // The answers as the Linux window words them; the further ones only where several files are copied.
    const std::array<TASKDIALOG_BUTTON, 5> answers {{{IDYES, L"&Ja"},
                                                     {IDNO, L"&Nein"},
                                                     {IDTRYAGAIN, L"Ja, &alle"},
                                                     {IDCONTINUE, L"N&ein, alle"},
                                                     {IDCANCEL, L"Abbrechen"}}};
    TASKDIALOGCONFIG dialog {};
    dialog.cbSize = sizeof dialog;
    dialog.hwndParent = this->owner(owner);
    // Escape and the title bar's close answer as Cancel does, or No for a single file.
    dialog.dwFlags = TDF_USE_HICON_MAIN | TDF_POSITION_RELATIVE_TO_WINDOW | TDF_ALLOW_DIALOG_CANCELLATION;
    dialog.pszWindowTitle = L"Datei ersetzen";
    dialog.hMainIcon = ::LoadIconW(nullptr, IDI_QUESTION);
    dialog.pszContent = text.c_str();
    dialog.pButtons = answers.data();
    dialog.cButtons = several ? UINT(answers.size()) : 2;
    dialog.nDefaultButton = IDNO;
    int answer = IDNO;
    const Win32ThreadModality modality(dialog.hwndParent);
    if (FAILED(::TaskDialogIndirect(&dialog, &answer, nullptr, nullptr)))
        return Replace::No; // nobody to answer: keep what is there
    switch (answer) {
    case IDYES: return Replace::Yes;
    case IDTRYAGAIN: return Replace::YesToAll;
    case IDCONTINUE: return Replace::NoToAll;
    case IDCANCEL: return several ? Replace::Cancel : Replace::No;
    default: return Replace::No;
    }
}

std::unique_ptr<CopyQuestions::Progress> Win32UserDialogs::progress(DialogOwner owner, const std::string& label)
{
    return std::make_unique<Win32ProgressWindow>(this->owner(owner), label);
}

} // namespace cp
