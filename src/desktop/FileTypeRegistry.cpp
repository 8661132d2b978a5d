// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileTypeRegistry.h"

#include "base/ErrorNumbers.h"

#include <new>
#include <stdexcept>

namespace cp {

std::vector<RegistrationFailure> registerFileTypes(FileTypeRegistry& registry)
{
    std::vector<RegistrationFailure> failures;
    const struct {
        const char* extension;
        const char* description;
    } types[] = {{"FFL", "AvP FastFile-Liste"}, {"UAX", "Unreal-Sound"}};
    for (const auto& type : types) {
        try {
            registry.registerFile(type.extension, 1, type.description);
        } catch (const RegistrationError& error) {
            failures.push_back({error.number(), error.what()});
        } catch (const std::bad_alloc&) {
            failures.push_back({ErrorNumber::OutOfMemory, "Nicht genügend Speicher"});
        } catch (const std::exception& error) {
            failures.push_back({ErrorNumber::Internal, error.what()});
        }
    }
    return failures;
}

} // namespace cp
