// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/SettingsStore.h"

class QSettings;

namespace cp {

// The settings kept by QSettings: ~/.config/Oxbrook/Chunkpicker.conf here.
class QtSettings final : public SettingsBackend {
public:
    explicit QtSettings(QSettings& settings) : m_settings(settings) {}
    std::optional<std::string> read(const std::string& name) const override;
    void write(const std::string& name, const std::string& text) override;
    void sync() override;

private:
    QSettings& m_settings;
};

} // namespace cp
