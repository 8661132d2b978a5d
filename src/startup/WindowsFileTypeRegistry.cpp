#include "WindowsFileTypeRegistry.h"

#include "base/CommandLine.h"

#include <windows.h>

namespace cp {

namespace {

// Our texts are UTF-8; the registry takes them as UTF-16, whatever the code page.
std::wstring Wide(const std::string& text)
{
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(std::size_t(length > 0 ? length : 0), L'\0');
    if (length > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), length);
    return wide;
}

// The key's default value; a failed write is not reported.
void SetDefault(const std::wstring& key, const std::wstring& text)
{
    ::RegSetValueW(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, text.c_str(), 0);
}

std::wstring ReadDefault(const std::wstring& key)
{
    wchar_t buffer[1024] = {};
    LONG size = sizeof buffer;
    if (::RegQueryValueW(HKEY_CLASSES_ROOT, key.c_str(), buffer, &size) != ERROR_SUCCESS)
        return {};
    return buffer;
}

} // namespace

void WindowsFileTypeRegistry::RegisterFile(const std::string& extension, int iconNumber, const std::string& description)
{
    wchar_t program[MAX_PATH] = {};
    if (::GetModuleFileNameW(nullptr, program, MAX_PATH) == 0)
        return;
    const std::wstring type = Wide(extension) + L"File";
    const std::wstring verb = Wide(std::string("Öffnen (") + kApplicationTitle + ")");
    SetDefault(type, Wide(description));
    SetDefault(type + L"\\DefaultIcon", program + (L",-" + std::to_wstring(iconNumber)));
    // Read back: where the first write did not take, the verb and the extension are left alone.
    if (ReadDefault(type) == Wide(description)) {
        SetDefault(type + L"\\Shell", verb);
        SetDefault(L"." + Wide(extension), type);
    }
    SetDefault(type + L"\\Shell\\" + verb + L"\\command", program + std::wstring(L" \"%1\""));
}

} // namespace cp
