// SPDX-License-Identifier: GPL-3.0-or-later
#include "SavingFlow.h"

#include "base/PathHelpers.h"
#include "files/PathChecks.h"
#include "base/ShownPath.h"
#include "logic/EntryHeads.h"
#include "logic/RaisedFlag.h"
#include "logic/SettingsStore.h"
#include "logic/ShownScan.h"
#include "logic/UserDialogs.h"
#include "saving/CopyJob.h"
#include "scan/ScanError.h"
#include "files/DiskRoom.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>

namespace cp {

namespace {

constexpr const char* kSaveFilter = "Wave-Dateien (*.wav)|*.wav|Alle Dateien (*.*)|*.*";
constexpr const char* kLineBreak = "\r\n"; // the notice dialog shows it as one break

// What makes two names one file's.
std::string nameKey(std::string name)
{
#ifdef _WIN32
    for (char& c : name) // Windows' names ignore case
        c = char(std::tolower(static_cast<unsigned char>(c)));
#endif
    return name;
}

} // namespace

std::string rememberedFolder(const SettingsStore& settings, const std::string& settingName, const std::string& fallback)
{
    const std::string folder = settings.value(settingName, fallback);
    return pathExists(folder) ? folder : std::string();
}

void rememberFolderOf(SettingsStore& settings, const std::string& settingName, const std::string& chosenFile)
{
    // A folder typed that does not exist is not one to start in next time.
    const std::string folder = std::filesystem::absolute(chosenFile).parent_path().string();
    if (folderExists(folder))
        settings.setValue(settingName, folder);
}

std::string SavingFlow::proposedName() const
{
    const std::string count = m_context.settings.value("Count", 1);
    double number = 0;
    if (!parseNumber(count, m_context.style, &number)) {
        std::string typed = count;
        for (char& c : typed)
            if (c == '/')
                c = '_';
        return "Sound" + typed + ".wav";
    }
    const long long rounded = std::llround(number);
    char digits[32];
    std::snprintf(digits, sizeof digits, "%03llu",
                  rounded < 0 ? 0ULL - (unsigned long long)rounded : (unsigned long long)rounded);
    return std::string("Sound") + (rounded < 0 ? "-" : "") + digits + ".wav";
}

std::string SavingFlow::savedNoticeText() const
{
    const ShownScan& entries = m_context.entries;
    return "Der Eintrag " + std::to_string(entries.current()) + " wurde erfolgreich aus der Datei "
        + shownPath(fileNamePart(entries.scan().sourceFile)) + " erportiert." + kLineBreak + kLineBreak
        + "Da dieses Programm beim Speichern keine Optimierung vornimmt und das Original-Format beibehält, kann "
          "ein erneutes Speichern mit Goldwave eine kleinere Datei verursachen.";
}

void SavingFlow::saveAll()
{
    saveIntoFolder(
        m_context.entries.count(), [](std::int64_t i) { return i + 1; }, DialogOwner::MainWindow);
}

void SavingFlow::saveEntries(const std::vector<std::int64_t>& entries, DialogOwner owner)
{
    saveIntoFolder(
        std::int64_t(entries.size()), [&](std::int64_t i) { return entries[std::size_t(i)]; }, owner);
}

std::optional<std::string> SavingFlow::pickFolder(DialogOwner owner)
{
    std::string folder = m_context.settings.value("SaveAllPath", "d:\\sounds");
    if (!pathExists(folder))
        folder.clear();
    const auto chosen = m_context.dialogs.browseForFolder(owner, "Zielverzeichnis", folder);
    if (!chosen || m_context.closing.stop_requested())
        return std::nullopt;
    m_context.settings.setValue("SaveAllPath", *chosen);
    return chosen;
}

void SavingFlow::saveIntoFolder(std::int64_t count, const std::function<std::int64_t(std::int64_t)>& entryAt,
                                DialogOwner owner)
{
    if (count < 1)
        return;
    const auto chosen = pickFolder(owner);
    if (!chosen)
        return;
    std::int64_t total = 0;
    for (std::int64_t i = 0; i < count; ++i)
        total += regularFileSize(m_context.entries.entryFile(entryAt(i))).value_or(0);
    copyEntries(total, count > 1, owner, [&](CopyJob& copy) {
        for (std::int64_t i = 0; i < count && !copy.cancelled(); ++i)
            copy.copyFile(m_context.entries.entryFile(entryAt(i)), *chosen);
    });
}

void SavingFlow::saveOriginals(const std::vector<std::int64_t>& entries, DialogOwner owner)
{
    if (entries.empty())
        return;
    const auto chosen = pickFolder(owner);
    if (!chosen)
        return;
    // Planned from the source where it is still the file scanned, else from
    // the entry files, which hold no archive header: no member's name or size then.
    const EntryHeads heads(m_context.entries.scan(), nullptr);
    std::vector<std::pair<std::string, std::optional<std::int64_t>>> copies; // name, length; none: whole
    std::set<std::string> taken;
    std::int64_t total = 0;
    for (const std::int64_t entry : entries) {
        const std::string file = m_context.entries.entryFile(entry);
        std::pair<std::string, std::optional<std::int64_t>> planned {fileNamePart(file), std::nullopt};
        try {
            const OriginalFile original = heads.original(std::size_t(entry - 1));
            planned = {original.name, original.length};
        } catch (const ScanError&) { // unreadable: its copy tells why
        }
        // A folder of that name is no file to ask about replacing: the name is taken.
        int attempt = 1;
        while (folderExists(withTrailingSeparator(*chosen) + numberedName(planned.first, attempt))
               || !taken.insert(nameKey(numberedName(planned.first, attempt))).second)
            ++attempt;
        planned.first = numberedName(planned.first, attempt);
        total += planned.second ? *planned.second : regularFileSize(file).value_or(0);
        copies.push_back(std::move(planned));
    }
    copyEntries(total, entries.size() > 1, owner, [&](CopyJob& copy) {
        for (std::size_t i = 0; i < entries.size() && !copy.cancelled(); ++i)
            copy.copyFile(m_context.entries.entryFile(entries[i]), withTrailingSeparator(*chosen) + copies[i].first,
                          copies[i].second);
    });
}

void SavingFlow::saveCurrent()
{
    UserDialogs::SaveFile request;
    request.filter = kSaveFilter;
    request.defaultSuffix = "wav";
    request.initialDir = rememberedFolder(m_context.settings, "WAVDir", m_context.programFolder);
    request.fileName = proposedName();
    const auto chosen = m_context.dialogs.saveFile(DialogOwner::MainWindow, request);
    if (!chosen || m_context.closing.stop_requested())
        return;
    rememberFolderOf(m_context.settings, "WAVDir", *chosen);
    const std::string source = m_context.entries.currentFile();
    bool saved = false;
    copyEntries(regularFileSize(source).value_or(0), false, DialogOwner::MainWindow,
                [&](CopyJob& copy) { saved = copy.copyFile(source, *chosen); });
    if (saved && !m_context.closing.stop_requested())
        showNotice("FileSavedMsg", savedNoticeText());
}

void SavingFlow::copyEntries(std::int64_t total, bool several, DialogOwner owner,
                             const std::function<void(CopyJob&)>& copies)
{
    // Closing waits for the copy being made, which then stops like a cancel.
    const RaisedFlag copying(m_copying);
    CopyJob copy({m_context.dialogs, owner, m_context.style, m_context.closing}, total, several);
    copies(copy);
    if (!m_context.closing.stop_requested())
        copy.reportFailures();
}

void SavingFlow::showNotice(const std::string& settingName, const std::string& text)
{
    if (m_context.settings.value(settingName, "0") != "0")
        return;
    if (m_context.dialogs.notice(text))
        m_context.settings.setValue(settingName, booleanTrueText(m_context.style));
}

} // namespace cp
