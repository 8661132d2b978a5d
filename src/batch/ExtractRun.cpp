// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExtractRun.h"

#include "BatchRun.h"
#include "ManifestWriter.h"
#include "OriginalsShaper.h"

#include "files/FileIo.h"
#include "files/PathChecks.h"
#include "scan/ScanError.h"
#include "scan/ScanResult.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

namespace cp {

ExtractCall parseExtractArguments(const std::vector<std::string>& arguments, ExtractRequest& request)
{
    bool options = true;
    std::vector<std::string> paths;
    for (const std::string& arg : arguments) {
        if (options && arg == "--help")
            return ExtractCall::Help;
        if (options && arg == "--version")
            return ExtractCall::Version;
        if (options && arg == "--")
            options = false;
        else if (options && arg == "--trim")
            request.options.trim = true;
        else if (options && arg == "--names")
            request.options.names = true;
        else if (options && arg == "--types")
            request.options.types = true;
        else if (options && arg == "--originals")
            request.options = {true, true, true};
        else if (options && arg == "--json")
            request.json = true;
        else if (options && arg.size() > 1 && arg[0] == '-')
            return ExtractCall::Wrong; // an option it does not know
        else
            paths.push_back(arg);
    }
    if (paths.size() < 2 || std::any_of(paths.begin(), paths.end(), [](const std::string& p) { return p.empty(); }))
        return ExtractCall::Wrong;
    request.folder = paths.back();
    paths.pop_back();
    request.sources = std::move(paths);
    return ExtractCall::Run;
}

namespace {

// "x.pak: 3 Einträge mit 1.234 Byte nach out geschrieben, 2 gekürzt, 3 mit
// Namen aus den Daten, nicht erkannte Daten: 0,5 %".
std::string summaryLine(const std::string& source, const ScanResult& result, const OriginalsShaper::Counts& counts,
                        const ExtractRequest& request, const NumberStyle& style)
{
    std::string line = source + ": " + formatGrouped(counts.files, style) + " Einträge mit "
        + formatGrouped(counts.bytes, style) + " Byte nach " + request.folder + " geschrieben";
    if (request.options.trim)
        line += ", " + formatGrouped(counts.trimmed, style) + " gekürzt";
    if (request.options.names)
        line += ", " + formatGrouped(counts.named, style) + " mit Namen aus den Daten";
    return line + ", nicht erkannte Daten: " + formatShare(result.unknownShare, style) + "\n";
}

// A failure that ends the run rather than the source: the folder's.
bool folderFailed(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const ScanError& error) {
        return error.operation() == ScanError::Operation::Create || error.operation() == ScanError::Operation::Write;
    } catch (...) {
        return true; // stopped, or out of memory
    }
}

} // namespace

int runExtract(const ExtractRequest& request, const NumberStyle& style, std::FILE* out, std::FILE* err,
               const std::atomic<bool>* stop)
{
    if (!folderExists(request.folder)) {
        std::fprintf(err, "%s: Zielverzeichnis nicht gefunden: %s\n", kExtractProgram, request.folder.c_str());
        return 2;
    }
    std::optional<ManifestWriter> manifest;
    if (request.json)
        manifest.emplace(out);
    OriginalsShaper shaper(request.options, manifest ? &*manifest : nullptr);
    int status = 0;
    bool written = false;
    for (const std::string& source : request.sources) {
        shaper.beginSource(source);
        EntryFolder folder {request.folder, 0, nullptr, true, false, &shaper};
        ScanResult result;
        const std::exception_ptr failure = scanIntoFolder(folder, source, result, style, err, stop);
        written = written || result.entryFiles.ownedCount() > 0;
        if (failure) {
            std::fprintf(err, "%s: %s\n", kExtractProgram, failureLine(result, request.folder, failure).c_str());
            status = std::max(status, failureStatus(failure));
            if (folderFailed(failure))
                break;
        } else if (!manifest) {
            const std::string line = summaryLine(source, result, shaper.counts(), request, style);
            std::fwrite(line.data(), 1, line.size(), out);
            std::fflush(out);
        }
    }
    try {
        // One flush for every file, before a status that says they are there.
        if (written)
            syncFolder(request.folder);
    } catch (const ScanError& error) {
        std::fprintf(err, "%s: %s\n", kExtractProgram, error.what());
        status = std::max(status, 1);
    }
    errno = 0;
    const bool outputWhole = manifest ? manifest->finish() : std::fflush(out) == 0 && !std::ferror(out);
    if (!outputWhole) {
        std::fprintf(err, "%s: Fehler beim Schreiben der Ausgabe: %s\n", kExtractProgram,
                     std::strerror(errno != 0 ? errno : EIO));
        status = std::max(status, 1);
    }
    return status;
}

} // namespace cp
