#pragma once

// What the byte walk learns of a block of at most 64 code page 932 bytes, one bit a byte:
// lead bytes, the pairs that spell a particle, the pairs known to be usual characters, and
// CRs. Three ways to learn it, which must agree: byte by byte (the reference, and the
// path of a processor without SSE2), sixteen bytes at a time with SSE2, and thirty-two at
// a time with AVX2, which is chosen at run time as the build targets processors without
// it. Internal to the engine.

#include <cstddef>
#include <cstdint>

#include "Cp932Text.h"

// QUILLERY_NO_SSE2 leaves out the SSE2 and AVX2 paths, QUILLERY_NO_AVX2 the AVX2 one,
// so that the engine tests can check the others on any machine.
#if defined(__SSE2__) && !defined(QUILLERY_NO_SSE2)
#define QUILLERY_SSE2 1
#include <emmintrin.h>
#endif
#if defined(QUILLERY_SSE2) && !defined(QUILLERY_NO_AVX2) && defined(__GNUC__) && \
    (defined(__x86_64__) || defined(__i386__))
#define QUILLERY_AVX2 1
#include <immintrin.h>
#endif

namespace quillery::detail {

// The particle characters as code page 932 bytes: 、。，． are 81 41..81 44, the hiragana
// ぁ..ん 82 9F..82 F1.
constexpr bool IsParticlePair(unsigned lead, unsigned trail) {
    return (lead == 0x81 && trail - 0x41u <= 0x44u - 0x41u) ||
           (lead == 0x82 && trail - 0x9Fu <= 0xF1u - 0x9Fu);
}

// Pairs known to be usual without a look-up, for the common rows only: the kanji rows
// 88..9F and E0..E9 but for the empty stretches 88 40..9E and 98 73..9E, with a second
// byte 40..FC but 7F, and the punctuation and katakana rows 81 and 83 up to 96, where
// both are full, so that one compare of (lead | 2) with 83 covers the two. The walk's
// tables check the claim. Every further row costs each block more than the look-ups it
// saves in prose.
constexpr bool IsSurelyUsualPair(unsigned lead, unsigned trail) {
    const bool gap = trail <= 0x9E && (lead == 0x88 || (lead == 0x98 && trail >= 0x73));
    const bool kanji = (lead - 0x88u <= 0x9Fu - 0x88u || lead - 0xE0u <= 0x09u) && !gap;
    const bool kana = (lead | 2u) == 0x83 && trail <= 0x96;
    return trail - 0x40u <= 0xFCu - 0x40u && trail != 0x7F && (kanji || kana);
}

// Bit k of each mask tells about byte k of a block.
struct ByteMasks {
    std::uint64_t leads = 0;          // a lead byte, wherever it stands
    std::uint64_t particlePairs = 0;  // this byte and the next one spell a particle
    std::uint64_t usualPairs = 0;     // this byte and the next one are a usual character
    std::uint64_t crs = 0;
};

// Each way classifies p[0, count), count at most 64, up to its first CR at least: the
// bits after it belong to the next line, and the caller leaves them out. p[0, readable)
// may be read, readable >= count; a byte past it counts as 0.

inline ByteMasks ClassifyBytewise(const unsigned char* p, std::size_t count, std::size_t readable,
                                  std::size_t k = 0, ByteMasks masks = {}) {
    for (; k < count; ++k) {
        const unsigned b = p[k];
        const unsigned next = k + 1 < readable ? p[k + 1] : 0;
        masks.leads |= std::uint64_t{IsCp932LeadByte(static_cast<unsigned char>(b))} << k;
        masks.particlePairs |= std::uint64_t{IsParticlePair(b, next)} << k;
        masks.usualPairs |= std::uint64_t{IsSurelyUsualPair(b, next)} << k;
        masks.crs |= std::uint64_t{b == '\r'} << k;
        if (b == '\r') {
            break;
        }
    }
    return masks;
}

#if defined(QUILLERY_SSE2)
namespace sse2 {

// x in lo..hi, unsigned, on sixteen bytes at once: SSE2 has no unsigned byte compare, so
// "x - lo <= hi - lo" is written as "x - lo minus (hi - lo), saturating at 0, equals 0".
[[gnu::always_inline]] inline __m128i InRange(__m128i x, unsigned char lo, unsigned char hi) {
    const __m128i d = _mm_sub_epi8(x, _mm_set1_epi8(static_cast<char>(lo)));
    return _mm_cmpeq_epi8(_mm_subs_epu8(d, _mm_set1_epi8(static_cast<char>(hi - lo))),
                          _mm_setzero_si128());
}

[[gnu::always_inline]] inline __m128i AtMost(__m128i x, unsigned char hi) {
    return _mm_cmpeq_epi8(_mm_subs_epu8(x, _mm_set1_epi8(static_cast<char>(hi))),
                          _mm_setzero_si128());
}

[[gnu::always_inline]] inline __m128i Equals(__m128i x, unsigned char byte) {
    return _mm_cmpeq_epi8(x, _mm_set1_epi8(static_cast<char>(byte)));
}

[[gnu::always_inline]] inline std::uint64_t Bits(__m128i x, std::size_t k) {
    // pmovmskb leaves the upper bits clear: no further widening is needed.
    return std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(x))} << k;
}

// Classifies p[k, k + 16), reading p[k + 16] too, into `masks`; says whether a CR is
// among them.
[[gnu::always_inline]] inline bool ClassifySixteen(const unsigned char* p, std::size_t k,
                                                   ByteMasks& masks) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k + 1));
    // With bit 5 flipped, the lead bytes 81..9F and E0..FC are the one range A1..DC,
    // and the kanji rows 88..9F and E0..E9 the one range A8..C9.
    const __m128i flipped = _mm_xor_si128(x, _mm_set1_epi8(0x20));
    const __m128i leads = InRange(flipped, 0xA1, 0xDC);
    const __m128i gap = _mm_or_si128(_mm_and_si128(Equals(x, 0x88), AtMost(next, 0x9E)),
                                     _mm_and_si128(Equals(x, 0x98), InRange(next, 0x73, 0x9E)));
    const __m128i kanji = _mm_andnot_si128(gap, InRange(flipped, 0xA8, 0xC9));
    const __m128i particles =
        _mm_or_si128(_mm_and_si128(Equals(x, 0x81), InRange(next, 0x41, 0x44)),
                     _mm_and_si128(Equals(x, 0x82), InRange(next, 0x9F, 0xF1)));
    // Rows 81 and 83 both: (x | 2) == 83.
    const __m128i kana =
        _mm_and_si128(Equals(_mm_or_si128(x, _mm_set1_epi8(2)), 0x83), AtMost(next, 0x96));
    const __m128i trail = _mm_andnot_si128(Equals(next, 0x7F), InRange(next, 0x40, 0xFC));
    const __m128i usual = _mm_and_si128(trail, _mm_or_si128(kanji, kana));
    masks.leads |= Bits(leads, k);
    masks.particlePairs |= Bits(particles, k);
    masks.usualPairs |= Bits(usual, k);
    const std::uint64_t crs = Bits(Equals(x, '\r'), k);
    masks.crs |= crs;
    return crs != 0;
}

}  // namespace sse2

[[gnu::always_inline]] inline ByteMasks ClassifySse2(const unsigned char* p, std::size_t count,
                                                     std::size_t readable) {
    ByteMasks masks;
    if (count == 64 && readable > 64) {
        // A whole block, as most are: unrolled, so that the shifts are constants and
        // there is no count to keep. Stopping at the sixteen with a CR pays here, though
        // not with AVX2: a CR test on every sixteen is cheaper than keeping them all.
        (void)(sse2::ClassifySixteen(p, 0, masks) || sse2::ClassifySixteen(p, 16, masks) ||
               sse2::ClassifySixteen(p, 32, masks) || sse2::ClassifySixteen(p, 48, masks));
        return masks;
    }
    // Sixteen bytes and the byte after each; bits past `count` are cut off by the caller.
    std::size_t k = 0;
    for (; k < count && k + 17 <= readable; k += 16) {
        if (sse2::ClassifySixteen(p, k, masks)) {
            return masks;
        }
    }
    return ClassifyBytewise(p, count, readable, k, masks);
}
#endif

#if defined(QUILLERY_AVX2)
namespace avx2 {

#define QUILLERY_AVX2_INLINE [[gnu::target("avx2"), gnu::always_inline]] inline

// AVX2 has no unsigned byte compare either; adding 80 - lo takes lo..hi to the lowest
// signed values, -128..hi - lo - 128, and every other byte above them.
QUILLERY_AVX2_INLINE __m256i InRange(__m256i x, unsigned char lo, unsigned char hi) {
    const __m256i shifted = _mm256_add_epi8(x, _mm256_set1_epi8(static_cast<char>(0x80 - lo)));
    return _mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(hi - lo - 0x7F)), shifted);
}

QUILLERY_AVX2_INLINE __m256i AtMost(__m256i x, unsigned char hi) {
    return _mm256_cmpeq_epi8(_mm256_min_epu8(x, _mm256_set1_epi8(static_cast<char>(hi))), x);
}

QUILLERY_AVX2_INLINE __m256i Equals(__m256i x, unsigned char byte) {
    return _mm256_cmpeq_epi8(x, _mm256_set1_epi8(static_cast<char>(byte)));
}

QUILLERY_AVX2_INLINE std::uint64_t Bits(__m256i x, std::size_t k) {
    return std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(x))} << k;
}

// Classifies p[k, k + 32), reading p[k + 32] too, into `masks`: the tests of the SSE2
// path, on twice the bytes. Written out again: one body over GCC's generic vector types
// would do, but a 32-byte vector may not cross a call outside code marked for AVX2, so
// every helper of such a body must be written inside it, and the SSE2 path's speed would
// have to be measured anew. The classification test holds the two to the bytewise way.
QUILLERY_AVX2_INLINE void ClassifyThirtyTwo(const unsigned char* p, std::size_t k,
                                            ByteMasks& masks) {
    const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + k));
    const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + k + 1));
    const __m256i flipped = _mm256_xor_si256(x, _mm256_set1_epi8(0x20));
    const __m256i leads = InRange(flipped, 0xA1, 0xDC);
    const __m256i gap =
        _mm256_or_si256(_mm256_and_si256(Equals(x, 0x88), AtMost(next, 0x9E)),
                        _mm256_and_si256(Equals(x, 0x98), InRange(next, 0x73, 0x9E)));
    const __m256i kanji = _mm256_andnot_si256(gap, InRange(flipped, 0xA8, 0xC9));
    const __m256i particles =
        _mm256_or_si256(_mm256_and_si256(Equals(x, 0x81), InRange(next, 0x41, 0x44)),
                        _mm256_and_si256(Equals(x, 0x82), InRange(next, 0x9F, 0xF1)));
    const __m256i kana =
        _mm256_and_si256(Equals(_mm256_or_si256(x, _mm256_set1_epi8(2)), 0x83), AtMost(next, 0x96));
    const __m256i trail = _mm256_andnot_si256(Equals(next, 0x7F), InRange(next, 0x40, 0xFC));
    const __m256i usual = _mm256_and_si256(trail, _mm256_or_si256(kanji, kana));
    masks.leads |= Bits(leads, k);
    masks.particlePairs |= Bits(particles, k);
    masks.usualPairs |= Bits(usual, k);
    masks.crs |= Bits(Equals(x, '\r'), k);
}

#undef QUILLERY_AVX2_INLINE

}  // namespace avx2

// Whether this processor, and the system that saves its registers, runs AVX2 and the bit
// instructions (BMI1, BMI2, POPCNT) that every processor with AVX2 has.
inline bool HasAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
           __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("popcnt");
}

[[gnu::target("avx2"), gnu::always_inline]] inline ByteMasks ClassifyAvx2(const unsigned char* p,
                                                                          std::size_t count,
                                                                          std::size_t readable) {
    if (count == 64 && readable > 64) {
        ByteMasks masks;
        avx2::ClassifyThirtyTwo(p, 0, masks);
        avx2::ClassifyThirtyTwo(p, 32, masks);
        return masks;
    }
    return ClassifySse2(p, count, readable);
}
#endif

}  // namespace quillery::detail
