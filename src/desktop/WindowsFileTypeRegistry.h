// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FileTypeRegistry.h"

#include <string>

namespace cp {

// The association in the user's own registry classes, as the shell reads
// them (HKEY_CURRENT_USER\Software\Classes, which a user may write without
// asking an administrator): the type key with its description, icon and
// "Öffnen (Chunk Picker)" verb, and the extension pointing at it. Values that
// are already right are not written again, and the shell is told only after
// a change. A refused write ends the type with a RegistrationError. Built on
// Windows only.
class WindowsFileTypeRegistry final : public FileTypeRegistry {
public:
    // programPath in UTF-8; classes is the key under HKEY_CURRENT_USER.
    explicit WindowsFileTypeRegistry(std::string programPath, std::string classes = "Software\\Classes");

    // The icon number is the resource identifier of the icon in the program.
    void registerFile(const std::string& extension, int iconNumber, const std::string& description) override;

    int valuesWritten() const { return m_valuesWritten; }

private:
    void setDefault(const std::wstring& key, const std::wstring& text);

    std::wstring m_program;
    std::wstring m_classes;
    int m_valuesWritten = 0;
};

} // namespace cp
