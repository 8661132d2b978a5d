// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtSettings.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>

namespace cp {

std::optional<std::string> QtSettings::read(const std::string& name) const
{
    const QVariant stored = m_settings.value(QString::fromStdString(name));
    if (stored.typeId() == QMetaType::QStringList) // an unquoted list written by another tool
        return stored.toStringList().join(QLatin1Char(',')).toStdString();
    if (!stored.canConvert<QString>()) // nothing stored, or no text
        return std::nullopt;
    return stored.toString().toStdString();
}

void QtSettings::write(const std::string& name, const std::string& text)
{
    m_settings.setValue(QString::fromStdString(name), QString::fromStdString(text));
}

void QtSettings::sync()
{
    m_settings.sync();
}

} // namespace cp
