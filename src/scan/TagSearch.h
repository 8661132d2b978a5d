#pragma once

#include <cstddef>
#include <cstring>

namespace cp {

inline constexpr char kTag[4] = {'R', 'I', 'F', 'F'};

// Calls onHit(offset) for every 0-based offset in data[0, size) at which the
// whole tag starts, in ascending order. A tag cut off by the end is no hit.
template <typename OnHit>
void ForEachTag(const unsigned char* data, std::size_t size, OnHit&& onHit)
{
    std::size_t from = 0;
    while (size - from >= sizeof kTag) {
        const void* found = ::memmem(data + from, size - from, kTag, sizeof kTag);
        if (!found)
            return;
        const auto at = std::size_t(static_cast<const unsigned char*>(found) - data);
        onHit(at);
        from = at + 1;
    }
}

} // namespace cp
