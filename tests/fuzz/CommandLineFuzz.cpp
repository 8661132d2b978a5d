// SPDX-License-Identifier: GPL-3.0-or-later
// Resolves arbitrary command lines against an invented directory tree and
// checks what a valid resolution promises.
#include "base/CommandLine.h"

#include <cstdlib>
#include <set>
#include <string>

namespace {

// The first line of the input is the command line; every further line names
// an existing path, a folder when it ends in '/'.
class FakeProbe final : public cp::FileProbe {
public:
    std::set<std::string> files, folders;

    std::string findFile(const std::string& pattern) override
    {
        for (const auto& f : files)
            if (Matches(pattern, f))
                return Name(f);
        return {};
    }
    bool folderExists(const std::string& path) override { return folders.count(path) || folders.count(path + "/"); }
    std::optional<std::string> storedName(const std::string& pattern) override
    {
        if (auto f = findFile(pattern); !f.empty())
            return f;
        for (const auto& d : folders)
            if (Matches(pattern, d.substr(0, d.size() - 1)))
                return Name(d.substr(0, d.size() - 1));
        return std::nullopt;
    }
    std::string tempFolder() override { return "/tmp/"; }

private:
    static std::string Name(const std::string& path) { return path.substr(path.rfind('/') + 1); }
    static bool Matches(const std::string& pattern, const std::string& path)
    {
        const auto cut = pattern.rfind('/');
        const std::string folder = cut == std::string::npos ? "" : pattern.substr(0, cut + 1);
        const std::string pathFolder = path.substr(0, path.rfind('/') + 1);
        return folder == pathFolder && cp::matchesWildcard(pattern.substr(folder.size()), Name(path));
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const auto firstBreak = input.find('\n');
    const std::string line = input.substr(0, firstBreak);
    FakeProbe probe;
    for (std::size_t start = firstBreak + 1; firstBreak != std::string::npos && start < input.size();) {
        const auto end = std::min(input.find('\n', start), input.size());
        const std::string path = "/" + input.substr(start, end - start);
        if (path != "/" && path.find("//") == std::string::npos) // every stored path has a name
            (path.back() == '/' ? probe.folders : probe.files).insert(path);
        start = end + 1;
    }
    cp::StartupState state;
    const bool valid = cp::resolveCommandLine(line, probe, state);
    // Quotes are gone from everything typed; a stored name may hold one.
    const auto cut = state.sourceFile.rfind('/');
    const std::string typedFolder = cut == std::string::npos ? "" : state.sourceFile.substr(0, cut);
    if (typedFolder.find('"') != std::string::npos || state.targetFolder.find('"') != std::string::npos)
        std::abort();
    if (valid
        && (state.targetFolder.empty() || (state.targetGiven && !probe.folderExists(state.targetFolder))
            || (!line.empty() && state.sourceFile.empty())))
        std::abort();
    return 0;
}
