// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace cp {

// A file operation that failed: which operation on which file, and the
// system's error. Scans and saves report their failures this way alike.
class FileError : public std::runtime_error {
public:
    enum class Operation { Open, Read, Create, Write, Inspect };

    FileError(Operation operation, std::string path, int systemError);
    FileError(Operation operation, std::string path, int systemError, std::string detail);

    Operation operation() const { return m_operation; }
    const std::string& path() const { return m_path; }
    int systemError() const { return m_systemError; } // an errno value
    const std::string& systemMessage() const { return m_systemMessage; }

private:
    Operation m_operation;
    std::string m_path;
    int m_systemError;
    std::string m_systemMessage;
};

// Thrown when a copy's caller asked it to stop (the window is closing).
// Nothing half-written is left behind when it arrives.
class CopyStopped : public std::exception {
public:
    const char* what() const noexcept override { return "scan stopped"; }
};

} // namespace cp
