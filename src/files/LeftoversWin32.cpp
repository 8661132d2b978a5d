// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileIo.h"
#include "EntryFileName.h"
#include "LeftoverNames.h"
#include "RunJournal.h"
#include "FileError.h"
#include "Win32Files.h"
#include "base/PathHelpers.h"
#include "base/WideText.h"

#include <vector>

namespace cp {

using win32::native;

namespace {

using namespace leftovers;

// Calls sweep(file) for every file of that form in folder that no one else
// has open, and deletes it afterwards. A writer or a live window holds its
// file open without leave for others to have it too, so it is left alone,
// whichever process or machine holds it; a dead process holds nothing.
template <typename Sweep>
void sweepUnheld(const std::string& folder, const char* prefix, const char* suffix, Sweep&& sweep)
{
    const std::string dir = withTrailingSeparator(folder);
    std::wstring wideDir, pattern;
    if (!win32::toWide(dir, &wideDir, nullptr) || !win32::toWide(dir + prefix + "*" + suffix, &pattern, nullptr))
        return;
    WIN32_FIND_DATAW found {};
    HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        // The pattern also matches short 8.3 names: the long one must have the form.
        if (!hasForm(utf8Text(found.cFileName), prefix, suffix))
            continue;
        HANDLE file = win32::openAlone(wideDir + found.cFileName, GENERIC_READ | DELETE);
        if (file == INVALID_HANDLE_VALUE)
            continue;
        if (sweep(file))
            win32::markForDeletion(file, true);
        ::CloseHandle(file);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

} // namespace

void removeStaleTemporaries(const std::string& folder)
{
    sweepUnheld(folder, kTempPrefix, kTempSuffix, [](HANDLE) { return true; });
}

std::string followLinks(const std::string& path)
{
    return path;
}

std::string linkTarget(const std::string&)
{
    return {};
}

void syncFolder(const std::string& folder)
{
    const std::wstring wide = win32::widePath(FileError::Operation::Write, folder);
    HANDLE dir = ::CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const bool flushed = dir != INVALID_HANDLE_VALUE && ::FlushFileBuffers(dir);
    const DWORD error = ::GetLastError();
    if (dir != INVALID_HANDLE_VALUE)
        ::CloseHandle(dir);
    // The files themselves are on disk already; a file system that keeps no
    // separate record of names to flush, or a folder we may only add to, has
    // nothing more to give.
    if (!flushed && error != ERROR_INVALID_FUNCTION && error != ERROR_NOT_SUPPORTED && error != ERROR_ACCESS_DENIED)
        win32::fail(FileError::Operation::Write, folder, error);
}

// The record: the source's name, its length first, then one
// {number, device, key} for each entry file, in native byte order (only this
// machine's runs read it). Held open alone while the run lives.
RunJournal::RunJournal(const std::string& folder)
{
    const std::string dir = withTrailingSeparator(folder);
    for (unsigned attempt = 0; attempt < 100 && m_file == kNoFile; ++attempt) {
        m_path = dir + kJournalPrefix + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(attempt)
            + kJournalSuffix;
        std::wstring wide;
        if (!win32::toWide(m_path, &wide, nullptr))
            break;
        HANDLE file = ::CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            m_file = file;
        else if (!win32::nameTakenBy(::GetLastError(), win32::lastErrorIsDeletePending()))
            break;
    }
    if (m_file == kNoFile)
        m_path.clear();
}

RunJournal::~RunJournal()
{
    if (m_file == kNoFile)
        return;
    win32::markForDeletion(native(m_file), true);
    ::CloseHandle(native(m_file));
}

void RunJournal::beginScan(const std::string& source)
{
    if (m_file == kNoFile)
        return;
    const std::string name = fileNamePart(source);
    const std::uint64_t length = name.size();
    m_end = std::int64_t(sizeof length + name.size());
    FILE_END_OF_FILE_INFO empty {};
    if (!::SetFileInformationByHandle(native(m_file), FileEndOfFileInfo, &empty, sizeof empty)
        || !win32::writeAt(native(m_file), &length, sizeof length, 0)
        || !win32::writeAt(native(m_file), name.data(), DWORD(name.size()), sizeof length))
        m_end = -1; // unrecorded rather than misrecorded
}

void RunJournal::recordEntry(std::int64_t number, const FileIdentity& identity)
{
    if (m_file == kNoFile || m_end < 0)
        return;
    const std::uint64_t record[3] = {std::uint64_t(number), identity.device, identity.key()};
    if (m_end + std::int64_t(sizeof record) > kJournalMaxBytes)
        return; // past what a sweep reads; the files stay should the window be killed
    // A record cut short by a kill is one a reader does not take.
    if (win32::writeAt(native(m_file), record, sizeof record, m_end))
        m_end += std::int64_t(sizeof record);
}

void removeEntryFilesOfEndedRuns(const std::string& folder, std::stop_token stop)
{
    sweepUnheld(folder, kJournalPrefix, kJournalSuffix, [&](HANDLE file) {
        std::uint64_t length = 0;
        DWORD got = 0;
        LARGE_INTEGER size {};
        if (!::GetFileSizeEx(file, &size) || size.QuadPart > kJournalMaxBytes
            || !win32::readAt(file, &length, sizeof length, 0, &got) || got != sizeof length || length == 0
            || length >= std::uint64_t(kJournalNameLimit))
            return true;
        std::string source(length, '\0');
        if (!win32::readAt(file, source.data(), DWORD(length), sizeof length, &got) || got != length)
            return true;
        std::uint64_t record[3];
        for (std::int64_t at = std::int64_t(sizeof length + length);
             win32::readAt(file, record, sizeof record, at, &got) && got == sizeof record; at += sizeof record) {
            if (stop.stop_requested())
                return false; // the record stays for the next sweep
            removeFileIfSame(entryFileName(folder, std::int64_t(record[0]), source), record[1], record[2]);
        }
        return true;
    });
}

} // namespace cp
