#pragma once

#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace cp {

inline constexpr char kTag[4] = {'R', 'I', 'F', 'F'};

// Calls onHit(offset) for every 0-based offset in data[0, size) at which the
// whole tag starts, in ascending order. A tag cut off by the end is no hit.
template <typename OnHit>
void ForEachTag(const unsigned char* data, std::size_t size, OnHit&& onHit)
{
    std::size_t at = 0;
#if defined(__SSE2__)
    // Sixteen candidate starts at a time: a start is a hit where all four
    // shifted byte compares agree. Whatever the data (silence, noise, a run
    // of 'R's) this costs the same.
    const __m128i r = _mm_set1_epi8('R'), i = _mm_set1_epi8('I'), f = _mm_set1_epi8('F');
    for (; size >= 19 && at <= size - 19; at += 16) {
        const auto* p = reinterpret_cast<const __m128i*>(data + at);
        const __m128i b0 = _mm_loadu_si128(p);
        const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + 1));
        const __m128i b2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + 2));
        const __m128i b3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + 3));
        const __m128i hit = _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(b0, r), _mm_cmpeq_epi8(b1, i)),
                                          _mm_and_si128(_mm_cmpeq_epi8(b2, f), _mm_cmpeq_epi8(b3, f)));
        for (unsigned mask = unsigned(_mm_movemask_epi8(hit)); mask != 0; mask &= mask - 1)
            onHit(at + std::size_t(__builtin_ctz(mask)));
    }
#endif
    for (; size >= sizeof kTag && at <= size - sizeof kTag; ++at) {
        if (data[at] == 'R' && std::memcmp(data + at, kTag, sizeof kTag) == 0)
            onHit(at);
    }
}

} // namespace cp
