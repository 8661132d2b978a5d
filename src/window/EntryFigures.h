// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <string>

namespace cp {

struct MainWindowForm;

// The figures the window shows of the whole file and of the current entry:
// its number, size, playing time, bytes per second, and what it is (the
// group's tooltip).
class EntryFigures {
public:
    explicit EntryFigures(MainWindowForm& form) : m_form(form) {}

    // While a scan runs: no entry yet.
    void showScanStarting();
    // As before any file.
    void showNoFile();
    // Entry current of count from its file at path, lengthMs long; without a
    // playing time the rate field says zeroLengthWord. Throws CommandError
    // when the file cannot be measured (it was removed meanwhile).
    void showEntry(std::int64_t current, std::int64_t count, const std::string& path, std::int64_t lengthMs,
                   const QString& zeroLengthWord);
    // What the entry file at path is, from its first bytes; nothing when it is gone.
    void describe(const std::string& path);

private:
    void setToolTip(const QString& text);

    MainWindowForm& m_form;
};

} // namespace cp
