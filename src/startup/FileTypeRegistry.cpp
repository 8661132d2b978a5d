#include "FileTypeRegistry.h"

#include "ErrorReport.h"

#include <new>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace cp {

std::vector<RegistrationFailure> RegisterFileTypes(FileTypeRegistry& registry)
{
    std::vector<RegistrationFailure> failures;
    const struct {
        const char* extension;
        const char* description;
    } types[] = {{"FFL", "AvP FastFile-Liste"}, {"UAX", "Unreal-Sound"}};
    for (const auto& type : types) {
        try {
            registry.RegisterFile(type.extension, 1, type.description);
        } catch (const std::bad_alloc&) {
            failures.push_back({ErrorNumber::OutOfMemory, "Nicht genügend Speicher"});
        } catch (const std::exception& error) {
            failures.push_back({ErrorNumber::Internal, error.what()});
        }
    }
    return failures;
}

std::string ExecutablePath()
{
#ifdef _WIN32
    char buffer[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return std::string(buffer, length < MAX_PATH ? length : 0);
#else
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    path.resize(length > 0 && std::size_t(length) < path.size() ? std::size_t(length) : 0);
    return path;
#endif
}

} // namespace cp
