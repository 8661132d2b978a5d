// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/StartupState.h"

#include "base/NumberFormat.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <cstdio>
#include <exception>

namespace cp {

struct EntryFolder;
struct ScanResult;
class ScanObserver;

// "<n> Einträge mit <bytes> Byte nach <folder> geschrieben, nicht erkannte Daten: <share>", where the
// bytes are everything from the first tag (1-based) to the end of the file. The folder keeps its bytes;
// the rest is UTF-8.
std::string batchSummary(std::int64_t entries, std::int64_t fileLength, std::int64_t firstTag,
                         const std::string& folder, double share, const NumberStyle& style);

// Prints the summary; a summary that cannot be written fails the run (status
// 1, the reason on err), as a tool whose output is lost must.
int finishBatch(const std::string& summary, std::FILE* out, std::FILE* err);

// "Fehler 7: ..." for a scan of path that ran out of memory.
std::string outOfMemoryText(const std::string& path);

// The one line err gets for a scan that ended in failure (ScanError or
// bad_alloc; the entries not written named) or was stopped; empty where it
// completed.
std::string failureLine(const ScanResult& result, const std::string& folder, std::exception_ptr failure);

// The exit status for a failure: 130 for a stop, 1 for the rest.
int failureStatus(std::exception_ptr failure);

// Scans path into folder as a batch run does: watcher, when given (the
// window), is told how the scan goes and decides when it stops; otherwise a
// set stop flag (a signal arrived) stops it, and a terminal on err shows a
// progress line. Returns how the scan failed: none, ScanStopped, ScanError
// or bad_alloc.
std::exception_ptr scanIntoFolder(EntryFolder& folder, const std::string& path, ScanResult& result,
                                  const NumberStyle& style, std::FILE* err, const std::atomic<bool>* stop,
                                  ScanObserver* watcher = nullptr);

// Ends a batch run however its scan ended (failure: none, ScanStopped,
// ScanError or bad_alloc): makes the entries written durable, then prints the
// summary on out or one line on err, and returns the exit status: 0, 1 for a
// failure (the entries not written named), 130 for a stop. The entries kept
// are entries 1 to N of the result.
int concludeBatch(const ScanResult& result, const StartupState& state, std::exception_ptr failure,
                  const NumberStyle& style, std::FILE* out, std::FILE* err);

// The one batch run, with a window or without: scans state.sourceFile into
// state.targetFolder (scanIntoFolder) and concludes as above.
int runBatch(const StartupState& state, const NumberStyle& style, std::FILE* out, std::FILE* err,
             const std::atomic<bool>* stop = nullptr, ScanObserver* watcher = nullptr);

} // namespace cp
