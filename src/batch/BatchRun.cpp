// SPDX-License-Identifier: GPL-3.0-or-later
#include "BatchRun.h"

#include "BatchProgress.h"

#include "base/CommandLine.h"
#include "base/NumberFormat.h"
#include "scan/ScanResult.h"
#include "files/FileIo.h"
#include "scan/ScanError.h"
#include "scan/WaveEntryScanner.h"
#include "base/ErrorNumbers.h"

#include <cerrno>
#include <cstring>
#include <new>

namespace cp {

namespace {

// Asks the stop flag whether to stop; nothing else of the scan matters here.
class StopFlag final : public ScanObserver {
public:
    explicit StopFlag(const std::atomic<bool>* stop) : m_stop(stop) {}
    bool stopRequested() override { return m_stop && m_stop->load(std::memory_order_relaxed); }

private:
    const std::atomic<bool>* m_stop;
};

} // namespace

std::string batchSummary(std::int64_t entries, std::int64_t fileLength, std::int64_t firstTag,
                         const std::string& folder, double share, const NumberStyle& style)
{
    // From the first tag on, every byte went into some entry file.
    const std::int64_t bytesWritten = entries > 0 ? fileLength - firstTag + 1 : 0;
    // The folder as the user named it, byte for byte, whatever its encoding.
    return formatGrouped(entries, style) + " Einträge mit " + formatGrouped(bytesWritten, style) + " Byte nach "
        + folder + " geschrieben, nicht erkannte Daten: " + formatShare(share, style);
}

namespace {

// Writes line and a line break and flushes; false when not all of it arrived.
bool printLine(std::FILE* out, const std::string& line)
{
    const bool written = std::fwrite(line.data(), 1, line.size(), out) == line.size() && std::fputc('\n', out) != EOF;
    return std::fflush(out) == 0 && written && !std::ferror(out);
}

} // namespace

int finishBatch(const std::string& summary, std::FILE* out, std::FILE* err)
{
    errno = 0;
    if (printLine(out, summary))
        return 0;
    const int error = errno;
    std::fprintf(err, "%s: Die Zusammenfassung konnte nicht ausgegeben werden: %s\n", kApplicationTitle,
                 std::strerror(error != 0 ? error : EIO));
    return 1;
}

std::string outOfMemoryText(const std::string& path)
{
    return "Fehler " + std::to_string(ErrorNumber::OutOfMemory) + ": nicht genügend Speicher beim Durchsuchen von '"
        + path + "'";
}

namespace {

// "; nicht geschrieben: Einträge 5 bis 120 (116 von 120)": entries are kept
// from the first on without a gap, so the rest is one range.
std::string notWritten(const ScanResult& result)
{
    const std::int64_t kept = result.entryFiles.ownedCount(), count = result.entryCount;
    if (count <= kept)
        return {};
    const std::string first = std::to_string(kept + 1), last = std::to_string(count);
    return "; nicht geschrieben: " + (kept + 1 == count ? "Eintrag " + last : "Einträge " + first + " bis " + last)
        + " (" + std::to_string(count - kept) + " von " + last + ")";
}

} // namespace

std::string failureLine(const ScanResult& result, const std::string& folder, std::exception_ptr failure)
{
    if (!failure)
        return {};
    try {
        std::rethrow_exception(failure);
    } catch (const ScanError& error) {
        return error.what() + notWritten(result);
    } catch (const std::bad_alloc&) {
        return outOfMemoryText(result.sourceFile);
    } catch (const ScanStopped&) {
        return "abgebrochen; bis dahin " + std::to_string(result.entryFiles.ownedCount()) + " vollständige Einträge in "
            + folder;
    }
}

int failureStatus(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const ScanStopped&) {
        return 130;
    } catch (...) {
        return 1;
    }
}

int concludeBatch(const ScanResult& result, const StartupState& state, std::exception_ptr failure,
                  const NumberStyle& style, std::FILE* out, std::FILE* err)
{
    try {
        // Exit 0 promises the entries survive a power cut, and so does the
        // count an interrupted or failed run gives.
        if (result.entryFiles.ownedCount() > 0)
            syncFolder(state.targetFolder);
    } catch (const ScanError&) {
        failure = std::current_exception();
    }
    if (failure) {
        std::fprintf(err, "%s: %s\n", kApplicationTitle, failureLine(result, state.targetFolder, failure).c_str());
        return failureStatus(failure);
    }
    return finishBatch(batchSummary(result.entryCount, result.sourceLength, result.firstTag, state.targetFolder,
                                    result.unknownShare, style),
                       out, err);
}

std::exception_ptr scanIntoFolder(EntryFolder& folder, const std::string& path, ScanResult& result,
                                  const NumberStyle& style, std::FILE* err, const std::atomic<bool>* stop,
                                  ScanObserver* watcher)
{
    StopFlag flag(stop);
    // A line on err where that is a terminal, unless a window shows the progress.
    BatchProgress progress(flag, watcher ? nullptr : err, style);
    ScanObserver* observer = watcher ? watcher : progress.active() ? &progress : static_cast<ScanObserver*>(&flag);
    WaveEntryScanner scanner(folder, observer);
    progress.watch(scanner);
    try {
        scanner.scanFile(path, result);
    } catch (...) {
        return std::current_exception();
    }
    return {};
}

int runBatch(const StartupState& state, const NumberStyle& style, std::FILE* out, std::FILE* err,
             const std::atomic<bool>* stop, ScanObserver* watcher)
{
    EntryFolder folder {state.targetFolder, 0, nullptr, true};
    ScanResult result;
    const std::exception_ptr failure = scanIntoFolder(folder, state.sourceFile, result, style, err, stop, watcher);
    return concludeBatch(result, state, failure, style, out, err);
}

} // namespace cp
