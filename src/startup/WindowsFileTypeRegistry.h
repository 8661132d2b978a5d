#pragma once

#include "FileTypeRegistry.h"

namespace cp {

// The association in the registry's classes, as the shell reads it: the
// type key with its description, icon and "Öffnen (Chunk Picker)" verb, and
// the extension pointing at it. Built on Windows only.
class WindowsFileTypeRegistry final : public FileTypeRegistry {
public:
    void RegisterFile(const std::string& extension, int iconNumber, const std::string& description) override;
};

} // namespace cp
