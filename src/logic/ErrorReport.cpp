// SPDX-License-Identifier: GPL-3.0-or-later
#include "ErrorReport.h"

#include "base/ErrorNumbers.h"
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
        return {errorNumberForSystemError(error.systemError()), error.what()};
    } catch (const std::bad_alloc&) {
        return {ErrorNumber::OutOfMemory, "Nicht genügend Speicher"};
    } catch (const std::exception& error) {
        return {ErrorNumber::Internal, error.what()};
    } catch (...) {
        return {ErrorNumber::Internal, "unbekannter Fehler"};
    }
}

std::string contactAddress()
{
    return CP_CONTACT_ADDRESS;
}

std::string reportErrorCaption(int number)
{
    return "Fehler " + std::to_string(number);
}

std::string reportErrorText(const std::string& procedure, const std::string& description, const std::string& lineBreak)
{
    return "In der Prozedur '" + procedure + "' trat folgender Fehler auf: " + description + lineBreak + lineBreak
        + "Die Arbeit mit Chunk Picker kann wahrscheinlich fortgesetzt werden." + lineBreak
        + "Falls dieser Fehler durch eine Änderung am Programm behoben werden kann, beschreiben Sie die "
          "zum Fehler führenden Schritte ausführlich, und schicken Sie den Report an '"
        + contactAddress() + "'. Vielen Dank!";
}

} // namespace cp
