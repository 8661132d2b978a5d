// SPDX-License-Identifier: GPL-3.0-or-later
#include "ErrorReport.h"

#ifndef CP_CONTACT_ADDRESS
#define CP_CONTACT_ADDRESS "chunkpicker@oxbrook.example"
#endif

namespace cp {

QString contactAddress()
{
    return QStringLiteral(CP_CONTACT_ADDRESS);
}

QString reportErrorCaption(int number)
{
    return QStringLiteral("Fehler ") + QString::number(number);
}

QString reportErrorText(const QString& procedure, const QString& description, const QString& lineBreak)
{
    return QStringLiteral("In der Prozedur '") + procedure + QStringLiteral("' trat folgender Fehler auf: ")
        + description + lineBreak + lineBreak
        + QStringLiteral("Die Arbeit mit Chunk Picker kann wahrscheinlich "
                         "fortgesetzt werden.")
        + lineBreak
        + QStringLiteral("Falls dieser Fehler durch eine Änderung am Programm behoben werden kann, beschreiben Sie die "
                         "zum Fehler führenden Schritte ausführlich, und schicken Sie den Report an '")
        + contactAddress() + QStringLiteral("'. Vielen Dank!");
}

} // namespace cp
