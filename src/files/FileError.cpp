// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScanError.h"

#include "base/SystemErrors.h"

namespace cp {

namespace {

const char* verb(ScanError::Operation operation)
{
    switch (operation) {
    case ScanError::Operation::Open: return "Öffnen";
    case ScanError::Operation::Read: return "Lesen";
    case ScanError::Operation::Create: return "Anlegen";
    case ScanError::Operation::Write: return "Schreiben";
    case ScanError::Operation::Inspect: return "Prüfen";
    }
    return "Zugriff";
}

std::string compose(ScanError::Operation operation, const std::string& path, const std::string& message)
{
    return std::string("Fehler beim ") + verb(operation) + " von '" + path + "': " + message;
}

} // namespace

ScanError::ScanError(Operation operation, std::string path, int systemError)
    : ScanError(operation, std::move(path), systemError, systemErrorText(systemError))
{
}

ScanError::ScanError(Operation operation, std::string path, int systemError, std::string detail)
    : std::runtime_error(compose(operation, path, detail))
    , m_operation(operation)
    , m_path(std::move(path))
    , m_systemError(systemError)
    , m_systemMessage(std::move(detail))
{
}

} // namespace cp
