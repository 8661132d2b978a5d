// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/ErrorNumbers.h"

#include <QString>

#include <stdexcept>

namespace cp {

// An error a command raises, with its report number and description.
class CommandError : public std::runtime_error {
public:
    CommandError(int number, const QString& description)
        : std::runtime_error(description.toStdString())
        , m_number(number)
        , m_description(description)
    {
    }
    int number() const { return m_number; }
    const QString& description() const { return m_description; }

private:
    int m_number;
    QString m_description;
};

// The maintainer's address named in every report; a build setting.
QString contactAddress();

QString reportErrorCaption(int number);
// The report's text; lineBreak is the platform's (a carriage return on Windows).
QString reportErrorText(const QString& procedure, const QString& description, const QString& lineBreak = "\n");

} // namespace cp
