// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/ErrorNumbers.h"

#include <QString>

#include <exception>
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

// What a report says of a failure: its number and description.
struct ReportedError {
    int number = 0;
    QString description;
};

// The one mapping of what a command or scan threw onto the report: a
// command's own error as it is, a scan's system error by its errno, no
// memory, and anything else as an internal error.
ReportedError reportedError(const std::exception_ptr& failure);

// The maintainer's address named in every report; a build setting.
QString contactAddress();

QString reportErrorCaption(int number);
// The report's text; lineBreak is the platform's (a carriage return on Windows).
QString reportErrorText(const QString& procedure, const QString& description, const QString& lineBreak = "\n");

} // namespace cp
