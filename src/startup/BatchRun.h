#pragma once

#include "base/StartupState.h"

#include <QLocale>

#include <atomic>
#include <cstdint>
#include <string>
#include <cstdio>

namespace cp {

// Scans state.SourceFile into state.TargetFolder without any window. Prints a
// one-line summary to out, or the failing file and system error to err.
// Returns the process exit status: 0 on success. A set stop flag (a signal
// arrived) ends the run early, without a half-written entry file.
// "<n> Einträge mit <bytes> Byte nach <folder> geschrieben, nicht erkannte Daten: <share>", where the
// bytes are everything from the first tag (1-based) to the end of the file.
QString BatchSummary(std::int64_t entries, std::int64_t fileLength, std::int64_t firstTag, const std::string& folder,
                     double share, const QLocale& locale);

int RunBatch(const StartupState& state, const QLocale& locale, std::FILE* out, std::FILE* err,
             const std::atomic<bool>* stop = nullptr);

} // namespace cp
