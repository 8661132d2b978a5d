// SPDX-License-Identifier: GPL-3.0-or-later
#include "ErrorReport.h"

#include <cerrno>

#ifndef CP_CONTACT_ADDRESS
#define CP_CONTACT_ADDRESS "chunkpicker@oxbrook.example"
#endif

namespace cp {

int ErrorNumberForSystemError(int systemError)
{
    switch (systemError) {
    case ENOENT: return ErrorNumber::FileNotFound;
    case ENOTDIR: return ErrorNumber::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS: return ErrorNumber::PermissionDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return ErrorNumber::DiskFull;
    case EIO: return ErrorNumber::DeviceIo;
    case ENOMEM: return ErrorNumber::OutOfMemory;
    default: return ErrorNumber::PathFileAccess;
    }
}

QString ContactAddress()
{
    return QStringLiteral(CP_CONTACT_ADDRESS);
}

QString ReportErrorCaption(int number)
{
    return QStringLiteral("Fehler ") + QString::number(number);
}

QString ReportErrorText(const QString& procedure, const QString& description, const QString& lineBreak)
{
    return QStringLiteral("In der Prozedur '") + procedure + QStringLiteral("' trat folgender Fehler auf: ")
        + description + lineBreak + lineBreak + QStringLiteral("Die Arbeit mit Chunk Picker kann wahrscheinlich "
                                                               "fortgesetzt werden.")
        + lineBreak
        + QStringLiteral("Falls dieser Fehler durch eine Änderung am Programm behoben werden kann, beschreiben Sie die "
                         "zum Fehler führenden Schritte ausführlich, und schicken Sie den Report an '")
        + ContactAddress() + QStringLiteral("'. Vielen Dank!");
}

} // namespace cp
