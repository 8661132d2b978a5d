// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/SettingsStore.h"

#include <map>
#include <optional>
#include <string>

namespace cptest {

// Settings kept in memory, as a face's store would keep them on disk.
struct MemorySettings final : cp::SettingsBackend {
    std::map<std::string, std::string> values;
    int syncs = 0;
    std::optional<std::string> read(const std::string& name) const override
    {
        const auto found = values.find(name);
        if (found == values.end())
            return std::nullopt;
        return found->second;
    }
    void write(const std::string& name, const std::string& text) override { values[name] = text; }
    void sync() override { ++syncs; }
};

} // namespace cptest
