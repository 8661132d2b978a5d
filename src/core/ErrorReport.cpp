// SPDX-License-Identifier: GPL-3.0-or-later
#include "ErrorReport.h"

#include "scan/ScanError.h"

#include <new>

#ifndef CP_CONTACT_ADDRESS
#define CP_CONTACT_ADDRESS "chunkpicker@oxbrook.example"
#endif

namespace cp {

ReportedError reportedError(const std::exception_ptr& failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const CommandError& error) {
        return {error.number(), error.description()};
    } catch (const ScanError& error) {
        return {errorNumberForSystemError(error.systemError()), QString::fromStdString(error.what())};
    } catch (const std::bad_alloc&) {
        return {ErrorNumber::OutOfMemory, QStringLiteral("Nicht genügend Speicher")};
    } catch (const std::exception& error) {
        return {ErrorNumber::Internal, QString::fromUtf8(error.what())};
    } catch (...) {
        return {ErrorNumber::Internal, QStringLiteral("unbekannter Fehler")};
    }
}

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
