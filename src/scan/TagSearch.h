// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define CP_X86 1
#endif

namespace cp {

inline constexpr char kTag[4] = {'R', 'I', 'F', 'F'};

// The ways the search can run; the fastest the processor has is chosen once.
enum class TagSearchPath { Plain, Sse2, Avx2 };

namespace tagsearch {

// Byte by byte from at: what is left after the wide loops.
template <typename OnHit> void searchPlain(const unsigned char* data, std::size_t size, std::size_t at, OnHit& onHit)
{
    for (; size >= sizeof kTag && at <= size - sizeof kTag; ++at) {
        if (data[at] == 'R' && std::memcmp(data + at, kTag, sizeof kTag) == 0)
            onHit(at);
    }
}

#if CP_X86
// Sixteen candidate starts at a time: a start is a hit where all four shifted
// byte compares agree. Whatever the data (silence, noise, a run of 'R's)
// this costs the same. Returns where the byte-wise rest begins.
template <typename OnHit> std::size_t searchSse2(const unsigned char* data, std::size_t size, OnHit& onHit)
{
    std::size_t at = 0;
    const __m128i r = _mm_set1_epi8('R'), i = _mm_set1_epi8('I'), f = _mm_set1_epi8('F');
    for (; size >= 19 && at <= size - 19; at += 16) {
        auto load = [&](std::size_t k) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + k)); };
        const __m128i hit = _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(load(0), r), _mm_cmpeq_epi8(load(1), i)),
                                          _mm_and_si128(_mm_cmpeq_epi8(load(2), f), _mm_cmpeq_epi8(load(3), f)));
        for (unsigned mask = unsigned(_mm_movemask_epi8(hit)); mask != 0; mask &= mask - 1)
            onHit(at + std::size_t(__builtin_ctz(mask)));
    }
    return at;
}

// The same with thirty-two starts at a time.
template <typename OnHit>
__attribute__((target("avx2"))) std::size_t searchAvx2(const unsigned char* data, std::size_t size, OnHit& onHit)
{
    std::size_t at = 0;
    const __m256i r = _mm256_set1_epi8('R'), i = _mm256_set1_epi8('I'), f = _mm256_set1_epi8('F');
    for (; size >= 35 && at <= size - 35; at += 32) {
        // No lambda here: it would not share this function's instruction set.
        const auto* p = data + at;
        const __m256i b0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 1));
        const __m256i b2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 2));
        const __m256i b3 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 3));
        const __m256i hit = _mm256_and_si256(_mm256_and_si256(_mm256_cmpeq_epi8(b0, r), _mm256_cmpeq_epi8(b1, i)),
                                             _mm256_and_si256(_mm256_cmpeq_epi8(b2, f), _mm256_cmpeq_epi8(b3, f)));
        for (unsigned mask = unsigned(_mm256_movemask_epi8(hit)); mask != 0; mask &= mask - 1)
            onHit(at + std::size_t(__builtin_ctz(mask)));
    }
    return at;
}
#endif

} // namespace tagsearch

// The fastest path this processor offers.
inline TagSearchPath bestTagSearchPath()
{
#if CP_X86
    static const TagSearchPath best = __builtin_cpu_supports("avx2") ? TagSearchPath::Avx2 : TagSearchPath::Sse2;
    return best;
#else
    return TagSearchPath::Plain;
#endif
}

// Calls onHit(offset) for every 0-based offset in data[0, size) at which the
// whole tag starts, in ascending order. A tag cut off by the end is no hit.
// A path the processor lacks falls back to one it has.
template <typename OnHit>
void forEachTag(const unsigned char* data, std::size_t size, OnHit&& onHit, TagSearchPath path = bestTagSearchPath())
{
    std::size_t at = 0;
#if CP_X86
    if (path == TagSearchPath::Avx2 && bestTagSearchPath() == TagSearchPath::Avx2)
        at = tagsearch::searchAvx2(data, size, onHit);
    else if (path != TagSearchPath::Plain)
        at = tagsearch::searchSse2(data, size, onHit);
#else
    (void)path;
#endif
    tagsearch::searchPlain(data, size, at, onHit);
}

} // namespace cp
