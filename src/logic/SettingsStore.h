// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/NumberFormat.h"

#include <optional>
#include <string>

namespace cp {

// Where the settings are kept: the registry on Windows, a settings file here.
// Names and texts are UTF-8.
class SettingsBackend {
public:
    virtual ~SettingsBackend() = default;
    // The stored text; nothing when absent or unreadable.
    virtual std::optional<std::string> read(const std::string& name) const = 0;
    virtual void write(const std::string& name, const std::string& text) = 0;
    // Writes what is pending to disk; the program may end right after.
    virtual void sync() = 0;
};

// The per-user settings: named text values under one key (the registry key
// Software\Oxbrook\Chunkpicker on Windows, ~/.config/Oxbrook/Chunkpicker.conf
// here). Everything is text; failures are silent and read as the default.
class SettingsStore {
public:
    explicit SettingsStore(SettingsBackend& backend) : m_backend(backend) {}

    // The stored text, or the default when absent, empty or too long to be
    // one of ours; exactly "True" or "Wahr" (stored or default) reads "-1".
    std::string value(const std::string& name, const std::string& defaultValue) const;
    std::string value(const std::string& name, long long defaultValue) const;
    // The stored text read as a number in the style's form or the C form;
    // nothing when it is none.
    std::optional<double> number(const std::string& name, const NumberStyle& style) const;
    void setValue(const std::string& name, const std::string& text);
    void sync() { m_backend.sync(); }

private:
    SettingsBackend& m_backend;
};

// The text of boolean true in the user's language, as the settings store it.
std::string booleanTrueText(const NumberStyle& style);

} // namespace cp
