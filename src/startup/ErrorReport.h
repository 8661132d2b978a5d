#pragma once

#include <QString>

#include <stdexcept>

namespace cp {

// Error numbers shown in the report's caption "Fehler <n>". Stable across
// versions so that a user's report can be matched; the description beside
// the number is the system's own message.
namespace ErrorNumber {
inline constexpr int OutOfMemory = 7;          // no memory left for the command
inline constexpr int DivisionByZero = 11;      // shows "mies" as the quality, no report
inline constexpr int Internal = 51;            // anything the program did not expect
inline constexpr int FileNotFound = 53;        // the file is gone
inline constexpr int DeviceIo = 57;            // the disk or device failed
inline constexpr int DiskFull = 61;            // no space left, or a file-size limit reached
inline constexpr int PermissionDenied = 70;    // not allowed to read or write there
inline constexpr int PathFileAccess = 75;      // not a file that can be read (a folder, a pipe...)
inline constexpr int PathNotFound = 76;        // a folder on the way does not exist
inline constexpr int DialogCancelled = 32755;  // ends a command silently
} // namespace ErrorNumber

// The report number for a system error (an errno value).
int ErrorNumberForSystemError(int systemError);

// An error a command raises, with its report number and description.
class CommandError : public std::runtime_error {
public:
    CommandError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), m_number(number), m_description(description)
    {
    }
    int number() const { return m_number; }
    const QString& description() const { return m_description; }

private:
    int m_number;
    QString m_description;
};

// The maintainer's address named in every report; a build setting.
QString ContactAddress();

QString ReportErrorCaption(int number);
// The report's text; lineBreak is the platform's (a carriage return on Windows).
QString ReportErrorText(const QString& procedure, const QString& description, const QString& lineBreak = "\n");

} // namespace cp
