// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace cp {

// Makes the program the opener of a file type in the desktop's own way: the
// registry's classes on Windows; a shared-mime-info type, a desktop entry and
// the default association under the user's own folders here. An association
// is a convenience, never a reason not to start.
class FileTypeRegistry {
public:
    virtual ~FileTypeRegistry() = default;
    // extension without the dot, in any letter case ("FFL"); the description
    // is what the desktop calls the type.
    virtual void registerFile(const std::string& extension, int iconNumber, const std::string& description) = 0;
};

// A registration the system refused, with the report's number and the reason.
class RegistrationError : public std::runtime_error {
public:
    RegistrationError(int number, const std::string& description) : std::runtime_error(description), m_number(number) {}
    int number() const { return m_number; }

private:
    int m_number;
};

// An error that ended a registration, for the error report.
struct RegistrationFailure {
    int number;
    std::string description;
};

// Registers the program's two file types, each on its own: an error ends only
// the type it arose in. Done at every start, so the association follows the
// program when it moves.
std::vector<RegistrationFailure> registerFileTypes(FileTypeRegistry& registry);

// The full path of the running executable, as the file system names it (in
// UTF-8 on Windows); defined beside the platform's registry.
std::string executablePath();

} // namespace cp
