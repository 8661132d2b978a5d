// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/FileProbe.h"

#include <optional>
#include <string>

namespace cp {

// The real file system. Matches are taken in byte order of their names so
// that "the first match" does not depend on directory order.
class SystemFileProbe final : public FileProbe {
public:
    std::string findFile(const std::string& pattern) override;
    bool folderExists(const std::string& path) override;
    std::optional<std::string> storedName(const std::string& pattern) override;
    std::string tempFolder() override;
};

} // namespace cp
