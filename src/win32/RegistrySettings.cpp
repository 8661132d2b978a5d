// SPDX-License-Identifier: GPL-3.0-or-later
#include "RegistrySettings.h"

#include "base/WideText.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace cp {

namespace {

// No value of ours comes near this; a longer one is not read at all.
constexpr DWORD kMaxValueBytes = 64 * 1024;

} // namespace

std::optional<std::string> RegistrySettings::read(const std::string& name) const
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, m_key.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    const std::wstring valueName = wideText(name);
    DWORD type = 0, bytes = 0;
    std::optional<std::string> text;
    if (RegQueryValueExW(key, valueName.c_str(), nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS
        && bytes <= kMaxValueBytes) {
        std::vector<BYTE> data(std::size_t(bytes) + sizeof(wchar_t));
        if (RegQueryValueExW(key, valueName.c_str(), nullptr, &type, data.data(), &bytes) == ERROR_SUCCESS) {
            if ((type == REG_SZ || type == REG_EXPAND_SZ) && bytes % sizeof(wchar_t) == 0) {
                // Stored with or without its closing NUL; nothing after a NUL counts.
                std::wstring wide(reinterpret_cast<const wchar_t*>(data.data()), bytes / sizeof(wchar_t));
                text = utf8Text(wide.substr(0, wide.find(L'\0')));
            } else if (type == REG_DWORD && bytes == sizeof(DWORD)) {
                DWORD number = 0;
                std::memcpy(&number, data.data(), sizeof number);
                text = std::to_string(number);
            }
        }
    }
    RegCloseKey(key);
    return text;
}

void RegistrySettings::write(const std::string& name, const std::string& text)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, m_key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        &key, nullptr)
        != ERROR_SUCCESS)
        return;
    const std::wstring wide = wideText(text);
    RegSetValueExW(key, wideText(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                   DWORD((wide.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void RegistrySettings::sync()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, m_key.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegFlushKey(key);
    RegCloseKey(key);
}

} // namespace cp
