// SPDX-License-Identifier: GPL-3.0-or-later
#include "XdgFileTypeRegistry.h"

#include "base/CommandLine.h"
#include "base/PathHelpers.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

extern char** environ;

namespace cp {

namespace {

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// The whole file, or nothing when it cannot be read; a file that is not
// there reads as empty.
std::optional<std::string> readWhole(const std::string& path)
{
    std::string content;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return content;
        return std::nullopt;
    }
    char buffer[16384];
    ssize_t n = 0;
    while ((n = TEMP_FAILURE_RETRY(::read(fd, buffer, sizeof buffer))) > 0)
        content.append(buffer, std::size_t(n));
    ::close(fd);
    if (n < 0)
        return std::nullopt;
    return content;
}

// A new file beside the old one, renamed over it once complete and on disk:
// a reader never sees half of it, and a crash never leaves an empty one. A
// replaced file's owner (where allowed) and mode stay: a private list stays
// private.
bool writeAtomically(const std::string& path, const std::string& content)
{
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    struct stat old {};
    const bool replacing = ::stat(path.c_str(), &old) == 0;
    const std::string temp = path + ".tmp-" + std::to_string(::getpid());
    ::unlink(temp.c_str()); // a dead run's of the same pid
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, replacing ? 0600 : 0644);
    if (fd < 0)
        return false;
    if (replacing) {
        [[maybe_unused]] const int owned = ::fchown(fd, old.st_uid, old.st_gid); // another owner needs the right
        ::fchmod(fd, old.st_mode & 07777);
    }
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = TEMP_FAILURE_RETRY(::write(fd, content.data() + done, content.size() - done));
        if (n <= 0)
            break;
        done += std::size_t(n);
    }
    const bool written = done == content.size() && ::fsync(fd) == 0;
    const bool ok = ::close(fd) == 0 && written && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok)
        ::unlink(temp.c_str());
    return ok;
}

// The file a write to path replaces: path itself, or the end of the chain of
// links it starts; empty for a link that leads nowhere.
std::string writtenThrough(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char* real = ::realpath(path.c_str(), nullptr);
    const std::string target = real ? real : "";
    std::free(real);
    return target;
}

std::string xmlEscaped(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// A desktop entry's string value: a backslash is written doubled.
std::string entryValue(const std::string& text)
{
    std::string out;
    for (const char c : text)
        out += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return out;
}

std::string findInPath(const std::string& tool)
{
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= folders.size();) {
        const auto end = std::min(folders.find(':', start), folders.size());
        const std::string candidate = folders.substr(start, end - start) + "/" + tool;
        if (end > start && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

} // namespace

std::string executablePath()
{
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    path.resize(length > 0 && std::size_t(length) < path.size() ? std::size_t(length) : 0);
    return path;
}

XdgFileTypeRegistry::Places XdgFileTypeRegistry::Places::fromEnvironment()
{
    // Relative values are invalid by the base-directory rules and are ignored.
    auto absolute = [](const char* name) {
        const char* value = std::getenv(name);
        return value && value[0] == '/' ? std::string(value) : std::string();
    };
    const std::string home = absolute("HOME");
    Places places {absolute("XDG_DATA_HOME"), absolute("XDG_CONFIG_HOME")};
    if (places.dataHome.empty() && !home.empty())
        places.dataHome = home + "/.local/share";
    if (places.configHome.empty() && !home.empty())
        places.configHome = home + "/.config";
    return places;
}

XdgFileTypeRegistry::XdgFileTypeRegistry(Places places, std::string programPath, std::string iconSvg)
    : m_places(std::move(places))
    , m_programPath(std::move(programPath))
    , m_iconSvg(std::move(iconSvg))
{
}

std::string XdgFileTypeRegistry::mimeTypeOf(const std::string& extension)
{
    return "application/x-" + lower(extension);
}

std::string XdgFileTypeRegistry::execWord(const std::string& programPath)
{
    const bool control = std::any_of(programPath.begin(), programPath.end(),
                                     [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
    if (programPath.empty() || control || !isValidUtf8(programPath))
        return {};
    std::string word;
    if (programPath.find_first_of(" \t\"'\\><~|&;$*?#()`") == std::string::npos) {
        word = programPath;
    } else {
        word = "\"";
        for (const char c : programPath)
            word += std::string(std::string("\"`$\\").find(c) != std::string::npos ? 1 : 0, '\\') + c;
        word += "\"";
    }
    std::string fieldSafe; // a percent sign would start a field code
    for (const char c : word)
        fieldSafe += c == '%' ? std::string("%%") : std::string(1, c);
    return entryValue(fieldSafe);
}

std::string XdgFileTypeRegistry::desktopEntry(const std::string& old, const std::string& mimeType,
                                              const std::string& exec)
{
    // The types registered before (by this or an earlier start) stay listed.
    std::vector<std::string> types;
    const std::string key = "\nMimeType=";
    if (const auto at = old.find(key); at != std::string::npos) {
        const auto end = std::min(old.find('\n', at + 1), old.size());
        const std::string list = old.substr(at + key.size(), end - at - key.size());
        for (std::size_t start = 0; start < list.size();) {
            const auto cut = std::min(list.find(';', start), list.size());
            if (cut > start)
                types.push_back(list.substr(start, cut - start));
            start = cut + 1;
        }
    }
    if (std::find(types.begin(), types.end(), mimeType) == types.end())
        types.push_back(mimeType);
    std::string typeList;
    for (const auto& type : types)
        typeList += type + ";";
    const std::string title = kApplicationTitle;
    return "[Desktop Entry]\nType=Application\nName="
        + title
        // English first, as the desktops expect, with the German the program speaks beside it.
        + "\nComment=Finds embedded wave sounds and other RIFF entries in any file and saves them"
          "\nComment[de]=Findet eingebettete Wave-Sounds und andere RIFF-Einträge in beliebigen Dateien und speichert "
          "sie"
          "\nIcon="
        + kApplicationId + "\nTryExec=" + entryValue(m_programPath) + "\nExec=" + exec + " %f\nMimeType=" + typeList
        + "\nCategories=AudioVideo;Audio;\nActions=Open;\n\n[Desktop Action Open]\nName=Öffnen (" + title
        + ")\nExec=" + exec + " %f\n";
}

void XdgFileTypeRegistry::registerFile(const std::string& extension, int, const std::string& description)
{
    const std::string exec = execWord(m_programPath);
    if (m_places.dataHome.empty() || m_places.configHome.empty() || exec.empty() || !isValidUtf8(description))
        return;
    const std::string type = mimeTypeOf(extension);
    const std::string id = kApplicationId;
    // Globs are matched in any letter case unless marked otherwise.
    const std::string package = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                                "  <mime-type type=\""
        + type
        + "\">\n"
          "    <comment>"
        + xmlEscaped(description)
        + "</comment>\n"
          "    <icon name=\""
        + id
        + "\"/>\n"
          "    <glob pattern=\"*."
        + xmlEscaped(lower(extension))
        + "\"/>\n"
          "  </mime-type>\n"
          "</mime-info>\n";
    const std::string data = m_places.dataHome;
    if (writeIfChanged(data + "/mime/packages/" + id + "-" + lower(extension) + ".xml", package))
        refresh("update-mime-database", data + "/mime");
    if (!m_iconSvg.empty())
        writeIfChanged(data + "/icons/hicolor/scalable/apps/" + id + ".svg", m_iconSvg);
    // These two are read once: what they hold shapes what is written.
    const std::string entry = data + "/applications/" + id + ".desktop";
    const std::string oldEntry = readWhole(entry).value_or(std::string()); // ours: rewritten if unreadable
    const std::string newEntry = desktopEntry(oldEntry, type, exec);
    if (newEntry != oldEntry && write(entry, newEntry))
        refresh("update-desktop-database", data + "/applications");
    // A linked list (dotfiles kept in a repository) is written where it lies, so the link stays.
    const std::string link = m_places.configHome + "/mimeapps.list", list = writtenThrough(link);
    if (list.empty()) {
        m_skipped = "„" + link + "“ verweist auf keine Datei; dort wurde nichts eingetragen.";
        return;
    }
    // The user's associations we cannot see are not ours to replace.
    const std::optional<std::string> oldList = readWhole(list);
    if (!oldList) {
        m_skipped = "„" + list + "“ ist nicht lesbar; dort wurde nichts eingetragen.";
        return;
    }
    const std::string newList = withDefaultApplication(*oldList, type, id + ".desktop");
    if (newList != *oldList)
        write(list, newList);
}

bool XdgFileTypeRegistry::writeIfChanged(const std::string& path, const std::string& content)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && std::size_t(st.st_size) == content.size() && readWhole(path) == content)
        return false;
    return write(path, content);
}

bool XdgFileTypeRegistry::write(const std::string& path, const std::string& content)
{
    if (!writeAtomically(path, content))
        return false;
    ++m_filesWritten;
    return true;
}

void XdgFileTypeRegistry::refresh(const char* tool, const std::string& folder)
{
    const std::string program = findInPath(tool);
    if (program.empty())
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const int fd : {0, 1, 2}) // a batch run's output stays its own
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    std::string toolName = tool, folderArg = folder;
    char* argv[] = {toolName.data(), folderArg.data(), nullptr};
    pid_t child = -1;
    if (::posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ) == 0) {
        int status = 0;
        [[maybe_unused]] const pid_t ended = TEMP_FAILURE_RETRY(::waitpid(child, &status, 0));
    }
    posix_spawn_file_actions_destroy(&actions);
}

} // namespace cp
