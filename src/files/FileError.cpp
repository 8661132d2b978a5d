// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileError.h"

#include "base/SystemErrors.h"

namespace cp {

namespace {

const char* verb(FileError::Operation operation)
{
    switch (operation) {
    case FileError::Operation::Open: return "Öffnen";
    case FileError::Operation::Read: return "Lesen";
    case FileError::Operation::Create: return "Anlegen";
    case FileError::Operation::Write: return "Schreiben";
    case FileError::Operation::Inspect: return "Prüfen";
    }
    return "Zugriff";
}

std::string compose(FileError::Operation operation, const std::string& path, const std::string& message)
{
    return std::string("Fehler beim ") + verb(operation) + " von '" + path + "': " + message;
}

} // namespace

FileError::FileError(Operation operation, std::string path, int systemError)
    : FileError(operation, std::move(path), systemError, systemErrorText(systemError))
{
}

FileError::FileError(Operation operation, std::string path, int systemError, std::string detail)
    : std::runtime_error(compose(operation, path, detail))
    , m_operation(operation)
    , m_path(std::move(path))
    , m_systemError(systemError)
    , m_systemMessage(std::move(detail))
{
}

} // namespace cp
