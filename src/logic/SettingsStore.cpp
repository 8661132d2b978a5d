// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsStore.h"

namespace cp {

namespace {
// The store reads values through a buffer of this size: a longer value reads as absent.
constexpr std::size_t kReadBufferBytes = 1024;
} // namespace

std::string SettingsStore::value(const std::string& name, const std::string& defaultValue) const
{
    std::string raw = m_backend.read(name).value_or(std::string());
    if (raw.size() > kReadBufferBytes)
        raw.clear();
    if (raw.empty())
        raw = defaultValue;
    if (raw == "True" || raw == "Wahr")
        return "-1";
    return raw;
}

std::string SettingsStore::value(const std::string& name, long long defaultValue) const
{
    return value(name, std::to_string(defaultValue));
}

std::optional<double> SettingsStore::number(const std::string& name, const NumberStyle& style) const
{
    double number = 0;
    if (!parseNumber(value(name, ""), style, &number))
        return std::nullopt;
    return number;
}

void SettingsStore::setValue(const std::string& name, const std::string& text)
{
    m_backend.write(name, text);
}

std::string booleanTrueText(const NumberStyle& style)
{
    return style.german ? "Wahr" : "True";
}

} // namespace cp
