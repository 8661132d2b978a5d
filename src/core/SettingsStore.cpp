// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsStore.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>

namespace cp {

namespace {
// The store reads values through a buffer of this size: a longer value reads as absent.
constexpr qsizetype kReadBufferBytes = 1024;
} // namespace

SettingsStore::SettingsStore(QSettings& settings) : m_settings(settings)
{
}

QString SettingsStore::value(const QString& name, const QString& defaultValue) const
{
    const QVariant stored = m_settings.value(name);
    QString raw;
    if (stored.typeId() == QMetaType::QStringList) // an unquoted list written by another tool
        raw = stored.toStringList().join(QLatin1Char(','));
    else if (stored.canConvert<QString>())
        raw = stored.toString();
    if (raw.toUtf8().size() > kReadBufferBytes)
        raw.clear();
    if (raw.isEmpty())
        raw = defaultValue;
    if (raw == QLatin1String("True") || raw == QLatin1String("Wahr"))
        return QStringLiteral("-1");
    return raw;
}

QString SettingsStore::value(const QString& name, long long defaultValue) const
{
    return value(name, QString::number(defaultValue));
}

void SettingsStore::setValue(const QString& name, const QString& text)
{
    m_settings.setValue(name, text);
}

void SettingsStore::sync()
{
    m_settings.sync();
}

QString booleanTrueText(const QLocale& locale)
{
    return locale.language() == QLocale::German ? QStringLiteral("Wahr") : QStringLiteral("True");
}

bool settingToNumber(const QString& text, const QLocale& locale, double* value)
{
    bool ok = false;
    double v = locale.toDouble(text.trimmed(), &ok);
    if (!ok)
        v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (ok)
        *value = v;
    return ok;
}

} // namespace cp
