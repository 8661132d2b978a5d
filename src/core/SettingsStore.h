// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>

class QSettings;

namespace cp {

// The per-user settings: named text values under one key (the registry key
// Software\Oxbrook\Chunkpicker on Windows, ~/.config/Oxbrook/Chunkpicker.conf
// here). Everything is text; failures are silent and read as the default.
class SettingsStore {
public:
    explicit SettingsStore(QSettings& settings);

    // The stored text, or the default when absent or empty; exactly "True"
    // or "Wahr" (stored or default) reads "-1".
    QString value(const QString& name, const QString& defaultValue) const;
    QString value(const QString& name, long long defaultValue) const;
    void setValue(const QString& name, const QString& text);
    // Writes what is pending to disk; the program may end right after.
    void sync();

private:
    QSettings& m_settings;
};

// The platform's text of boolean true in the user's language.
QString booleanTrueText(const QLocale& locale);

// A setting text as a number, read with the user's locale conventions (and
// the plain C form as a fallback); false when it is no number.
bool settingToNumber(const QString& text, const QLocale& locale, double* value);

} // namespace cp
