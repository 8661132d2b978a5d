// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/SettingsStore.h"

#include <string>

namespace cp {

// The settings in the registry, under HKEY_CURRENT_USER: every value a string
// under the same name as in the settings file on Linux.
class RegistrySettings final : public SettingsBackend {
public:
    explicit RegistrySettings(std::wstring key = L"Software\\Oxbrook\\Chunkpicker") : m_key(std::move(key)) {}
    // A string value as it is; a number another tool wrote as its decimal
    // text; anything else, or a value longer than any of ours, as absent.
    std::optional<std::string> read(const std::string& name) const override;
    // Fails silently, as every setting does: the program goes on without it.
    void write(const std::string& name, const std::string& text) override;
    void sync() override;

private:
    std::wstring m_key;
};

} // namespace cp
