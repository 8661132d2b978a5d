// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowsFileTypeRegistry.h"

#include "base/CommandLine.h"
#include "base/ErrorNumbers.h"
#include "base/SystemErrors.h"
#include "base/WideText.h"

#include <windows.h>

#include <shlobj.h>

#include <vector>

namespace cp {

namespace {

// The key's default value; empty when it has none.
std::wstring readDefault(const std::wstring& path)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return {};
    std::vector<wchar_t> value(256);
    for (;;) {
        DWORD size = DWORD(value.size() * sizeof(wchar_t));
        const LONG result = ::RegGetValueW(key, nullptr, nullptr, RRF_RT_REG_SZ, nullptr, value.data(), &size);
        if (result == ERROR_MORE_DATA) {
            value.resize(size / sizeof(wchar_t) + 1);
            continue;
        }
        ::RegCloseKey(key);
        return result == ERROR_SUCCESS ? std::wstring(value.data()) : std::wstring();
    }
}

} // namespace

std::string executablePath()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0)
            return {};
        if (length < path.size())
            return utf8Text(std::wstring(path.data(), length));
        path.resize(path.size() * 2); // a long path, cut short
    }
}

WindowsFileTypeRegistry::WindowsFileTypeRegistry(std::string programPath, std::string classes)
    : m_program(wideText(programPath))
    , m_classes(wideText(classes))
{
}

void WindowsFileTypeRegistry::registerFile(const std::string& extension, int iconNumber, const std::string& description)
{
    if (m_program.empty())
        return;
    const int before = m_valuesWritten;
    const std::wstring type = wideText(extension) + L"File";
    const std::wstring verb = wideText(std::string("Öffnen (") + kApplicationTitle + ")");
    // Quoted, so that a path with blanks stays one word; the icon is a resource identifier.
    const std::wstring program = L"\"" + m_program + L"\"";
    setDefault(type, wideText(description));
    setDefault(type + L"\\DefaultIcon", program + L",-" + std::to_wstring(iconNumber));
    setDefault(type + L"\\Shell", verb);
    setDefault(type + L"\\Shell\\" + verb + L"\\command", program + L" \"%1\"");
    // Last: the extension points at the type only once the type is complete.
    setDefault(L"." + wideText(extension), type);
    // The shell keeps associations in a cache of its own until told.
    if (m_valuesWritten != before)
        ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

void WindowsFileTypeRegistry::setDefault(const std::wstring& key, const std::wstring& text)
{
    const std::wstring path = m_classes + L"\\" + key;
    if (readDefault(path) == text)
        return;
    HKEY handle = nullptr;
    LONG result = ::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                                    nullptr, &handle, nullptr);
    if (result == ERROR_SUCCESS) {
        result = ::RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                  DWORD((text.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(handle);
    }
    if (result != ERROR_SUCCESS)
        throw RegistrationError(errorNumberForSystemError(errnoForWindowsError(DWORD(result))),
                                "Die Dateizuordnung konnte nicht eingetragen werden (HKEY_CURRENT_USER\\"
                                    + utf8Text(path) + "): " + windowsErrorText(result));
    ++m_valuesWritten;
}

} // namespace cp
