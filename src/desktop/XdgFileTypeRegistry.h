// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FileTypeRegistry.h"

#include <string>

namespace cp {

// The association in the freedesktop.org way, under the user's own folders
// only: a shared-mime-info package per type, the program's icon, one desktop
// entry naming the program where it now lies, and the default in
// mimeapps.list. What is already as it should be is not written again, and
// the caches are refreshed only after a write, so a usual start costs a few
// reads.
class XdgFileTypeRegistry final : public FileTypeRegistry {
public:
    struct Places {
        std::string dataHome;   // $XDG_DATA_HOME, else ~/.local/share
        std::string configHome; // $XDG_CONFIG_HOME, else ~/.config
        static Places fromEnvironment();
    };
    static constexpr const char* kApplicationId = "example.oxbrook.Chunkpicker";

    XdgFileTypeRegistry(Places places, std::string programPath, std::string iconSvg);

    // The icon number picks an icon inside a Windows executable; here there is one.
    void registerFile(const std::string& extension, int iconNumber, const std::string& description) override;

    int filesWritten() const { return m_filesWritten; }
    // Why the default was left out (mimeapps.list links to nothing), for a
    // batch run to tell; empty when it was not.
    const std::string& skipped() const { return m_skipped; }

    // "application/x-" + the extension in lower case.
    static std::string mimeTypeOf(const std::string& extension);
    // The program as the first word of a desktop entry's Exec: quoted and
    // escaped as that format requires; empty for a path it cannot hold.
    static std::string execWord(const std::string& programPath);

private:
    bool writeIfChanged(const std::string& path, const std::string& content);
    bool write(const std::string& path, const std::string& content); // atomically; counted
    void refresh(const char* tool, const std::string& folder);
    // The entry for mimeType, keeping the types the old entry lists.
    std::string desktopEntry(const std::string& old, const std::string& mimeType, const std::string& exec);

    Places m_places;
    std::string m_programPath;
    std::string m_iconSvg;
    int m_filesWritten = 0;
    std::string m_skipped;
};

// mimeapps.list text with mimeType's default set to desktopId; every other
// line stays as it was, byte for byte.
std::string withDefaultApplication(const std::string& list, const std::string& mimeType, const std::string& desktopId);

} // namespace cp
