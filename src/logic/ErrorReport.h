// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exception>
#include <stdexcept>
#include <string>

namespace cp {

// An error a command raises, with its report number and description.
class CommandError : public std::runtime_error {
public:
    CommandError(int number, const std::string& description) : std::runtime_error(description), m_number(number) {}
    int number() const { return m_number; }
    std::string description() const { return what(); }

private:
    int m_number;
};

// What a report says of a failure: its number and description.
struct ReportedError {
    int number = 0;
    std::string description;
};

// The one mapping of what a command or scan threw onto the report: a
// command's own error as it is, a scan's system error by its errno, no
// memory, and anything else as an internal error.
ReportedError reportedError(const std::exception_ptr& failure);

// The maintainer's address named in every report; a build setting.
std::string contactAddress();
std::string reportErrorCaption(int number);
// The report's text; lineBreak is the platform's (a carriage return on Windows).
std::string reportErrorText(const std::string& procedure, const std::string& description,
                            const std::string& lineBreak = "\n");

} // namespace cp
