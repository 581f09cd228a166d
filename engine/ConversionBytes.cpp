#include "ConversionBytes.h"

#include <algorithm>
#include <cstring>

// QUILLERY_NO_SSE2 builds the scalar paths that a processor without SSE2 takes, so that
// the engine tests can check them on any machine.
#if defined(__SSE2__) && !defined(QUILLERY_NO_SSE2)
#define QUILLERY_SSE2 1
#include <emmintrin.h>
#endif

#include "Cp932Codec.h"
#include "Cp932Text.h"

namespace quillery::detail {

namespace {

// The particle characters as code page 932 bytes: 、。，． are 81 41..81 44, the hiragana
// ぁ..ん 82 9F..82 F1.
constexpr bool IsParticlePair(unsigned lead, unsigned trail) {
    return (lead == 0x81 && trail - 0x41u <= 0x44u - 0x41u) ||
           (lead == 0x82 && trail - 0x9Fu <= 0xF1u - 0x9Fu);
}

// Pairs known to be usual without a look-up, for the common rows only: the kanji rows
// 89..97, 99..9F and E0..E9 (98 has a gap) with a second byte 40..FC but 7F, and the
// punctuation and katakana rows 81 and 83 up to 96, where both are full, so that one
// compare of (lead | 2) with 83 covers the two. ByteTables checks the claim.
constexpr bool IsSurelyUsualPair(unsigned lead, unsigned trail) {
    const bool kanji = (lead - 0x89u <= 0x9Fu - 0x89u && lead != 0x98) || lead - 0xE0u <= 0x09u;
    const bool kana = (lead | 2u) == 0x83 && trail <= 0x96;
    return trail - 0x40u <= 0xFCu - 0x40u && trail != 0x7F && (kanji || kana);
}

// What the byte walk needs to know of the code page, taken from the codec once.
struct ByteTables {
    // [lead << 8 | trail]: 1 when the pair is not a character that the walk may copy as
    // it is and classify by IsParticlePair.
    unsigned char unusual[0x10000];
    // Whether every single byte that is not a lead byte, every particle pair and every
    // pair taken as usual without a look-up reads back as itself with the class the walk
    // gives it; were one not to, the walk would be wrong, and is never used.
    bool usable = true;

    ByteTables() {
        for (unsigned b = 0; b < 256; ++b) {
            const auto byte = static_cast<unsigned char>(b);
            if (!IsCp932LeadByte(byte)) {
                const char single = static_cast<char>(b);
                const Cp932Character c = LookUpCp932Character({&single, 1});
                usable = usable && c.readsBackAsItself && !IsParticleChar(c.unit);
            }
            for (unsigned trail = 0; trail < 256; ++trail) {
                // A pair whose first byte is no lead byte is no character: not looked up,
                // which keeps the table's cost at start-up to a quarter.
                bool usual = false;
                if (IsCp932LeadByte(byte)) {
                    const char pair[2] = {static_cast<char>(b), static_cast<char>(trail)};
                    const Cp932Character c = LookUpCp932Character({pair, 2});
                    usual =
                        c.readsBackAsItself && IsParticleChar(c.unit) == IsParticlePair(b, trail);
                }
                unusual[b << 8 | trail] = usual ? 0 : 1;
                usable = usable &&
                         (usual || (!IsParticlePair(b, trail) && !IsSurelyUsualPair(b, trail)));
            }
        }
    }
};

const ByteTables& Tables() {
    static const ByteTables tables;
    return tables;
}

// Bit k of each mask tells about byte k of a run of at most 64.
struct ByteMasks {
    std::uint64_t leads = 0;          // a lead byte, wherever it stands
    std::uint64_t particlePairs = 0;  // this byte and the next one spell a particle
    std::uint64_t usualPairs = 0;     // this byte and the next one are a usual character
    std::uint64_t crs = 0;
};

#if defined(QUILLERY_SSE2)
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
    // and the kanji rows 89..9F and E0..E9 the one range A9..C9.
    const __m128i flipped = _mm_xor_si128(x, _mm_set1_epi8(0x20));
    const __m128i leads = InRange(flipped, 0xA1, 0xDC);
    const __m128i kanji = _mm_andnot_si128(Equals(x, 0x98), InRange(flipped, 0xA9, 0xC9));
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
#endif

// Classifies p[0, count), count at most 64, up to its first CR (the bytes after it are
// left out, as they are not the line's); p[0, readable) may be read, readable >= count.
ByteMasks Classify(const unsigned char* p, std::size_t count, std::size_t readable) {
    ByteMasks masks;
    std::size_t k = 0;
#if defined(QUILLERY_SSE2)
    if (count == 64 && readable > 64) {
        // A whole block, as most are: unrolled, so that the shifts are constants and
        // there is no count to keep. The line ends at a CR: what follows is the next's.
        (void)(ClassifySixteen(p, 0, masks) || ClassifySixteen(p, 16, masks) ||
               ClassifySixteen(p, 32, masks) || ClassifySixteen(p, 48, masks));
        return masks;
    }
    // Sixteen bytes and the byte after each; bits past `count` are cut off by the caller.
    for (; k < count && k + 17 <= readable; k += 16) {
        if (ClassifySixteen(p, k, masks)) {
            return masks;
        }
    }
#endif
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

// The bits set in x, without a call: a processor without a popcount instruction gets one
// from the compiler's run-time library otherwise.
inline std::uint32_t CountBits(std::uint64_t x) {
    x -= (x >> 1) & 0x5555555555555555u;
    x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
    return static_cast<std::uint32_t>((x * 0x0101010101010101u) >> 56);
}

constexpr std::uint64_t kEvenBits = 0x5555555555555555u;

// The lead bytes among `leads` that start a character, given whether the byte before the
// run did (so that byte 0 is its second byte). In a run of lead bytes after a byte that
// ends a character, the first, third, fifth... start one and the others are second bytes:
// each run takes the positions of its first byte's parity. Adding a run's first bit to
// the run clears it (the carry stops at the byte after it), which marks the runs that
// start at even positions.
inline std::uint64_t LeadStarts(std::uint64_t leads, bool trailFirst) {
    const std::uint64_t l = leads & ~std::uint64_t{trailFirst};
    const std::uint64_t runStarts = l & ~(l << 1);
    const std::uint64_t evenRuns = l & ~(l + (runStarts & kEvenBits));
    return (evenRuns & kEvenBits) | (l & ~evenRuns & ~kEvenBits);
}

}  // namespace

bool ByteWalkTakesKeywords(const KeywordList& keywords) {
    if (!Tables().usable) {
        return false;
    }
    for (std::size_t k = 0; k < keywords.size(); ++k) {
        const std::u16string& keyword = keywords[k];
        if (!keyword.empty() && IsEscapedByte(keyword.back()) &&
            IsCp932LeadByte(static_cast<unsigned char>(keyword.back() - kEscapedByteBase))) {
            return false;
        }
    }
    return true;
}

ByteKeywords EncodeKeywords(const KeywordList& keywords) {
    Cp932Codec& codec = ThreadCodec();
    return ByteKeywords(keywords, [&](const std::u16string& k) { return codec.Encode(k); });
}

// Written as ConvertWideLine is, on bytes: the text is classified 64 bytes at a time into
// bit masks, from which the line's end, the characters' first bytes and the insertion
// points follow without a branch per character; only the double-byte characters outside
// the common rows are looked up one by one, to find those the walk must not copy as they
// are.
ByteLine ConvertByteLine(std::string_view text, std::size_t start, bool textEnds,
                         const ByteKeywords& keywords, const ConversionOptions& options,
                         RandomSource& randomSource, ConversionStats& stats, ByteOutput& out) {
    const auto* const p = reinterpret_cast<const unsigned char*>(text.data()) + start;
    const std::size_t readable = text.size() - start;
    const unsigned char* const unusual = Tables().unusual;
    const bool mark = options.markInsertions;
    const std::int32_t ratio = options.insertRatio;
    const std::size_t perInsertion = keywords.MaxSize() + (mark ? 2 : 0);
    const ByteKeywords::Picker pick = keywords.MakePicker();
    RandomSource random = randomSource;
    // Unsigned, so that counts past 2^31 wrap as the 32-bit counters do.
    std::uint32_t phrases = 0;
    std::uint32_t inserted = 0;
    std::uint32_t keywordChars = 0;
    std::size_t doubleBytes = 0;  // characters of two bytes, each one character

    const std::size_t outStart = out.Size();
    char* dst = out.Room(2);
    std::size_t copied = 0;           // p[0, copied) is out
    std::size_t n = 0;                // the line's length, once its end is found
    std::uint64_t afterParticle = 1;  // bit 0: the line's start counts as a particle
    bool trailFirst = false;          // byte 0 of the block is a second byte
    unsigned char odd = 0;
    for (std::size_t base = 0;; base += 64) {
        const std::size_t left = readable - base;
        std::size_t count = std::min<std::size_t>(64, left);
        const ByteMasks masks = Classify(p + base, count, left);
        std::uint64_t inRun = count == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
        // The line ends in this block at its first CR, or where the text ends.
        const bool ends = (masks.crs & inRun) != 0 || count == left;
        if ((masks.crs & inRun) != 0) {
            count = static_cast<std::size_t>(std::countr_zero(masks.crs & inRun));
            inRun = (std::uint64_t{1} << count) - 1;
        }
        n = base + count;
        const std::uint64_t leadStarts = LeadStarts(masks.leads & inRun, trailFirst);
        if (ends && count > 0 && ((leadStarts >> (count - 1)) & 1) != 0) {
            odd = 1;  // a lead byte at the end of the line
            break;
        }
        const std::uint64_t particles = leadStarts & masks.particlePairs;
        for (std::uint64_t others = leadStarts & ~particles & ~masks.usualPairs; others != 0;
             others &= others - 1) {
            const unsigned char* c = p + base + std::countr_zero(others);
            odd |= unusual[c[0] << 8 | c[1]];
        }
        if (odd != 0) {
            break;
        }
        doubleBytes += CountBits(leadStarts);
        // A particle is two bytes: the character after it starts two bytes on.
        std::uint64_t starts = ~particles & inRun & ((particles << 2) | afterParticle);
        trailFirst = (leadStarts >> 63) != 0;
        afterParticle = particles >> 62;
        if (starts != 0) {
            // Room for the rest of the block, the line break and every insertion here: a
            // phrase starts only after a particle, two bytes.
            out.Commit(dst);
            dst = out.Room(n - copied + 2 + (count + 2) / 2 * perInsertion);
            for (; starts != 0; starts &= starts - 1) {
                const std::size_t i = base + static_cast<std::size_t>(std::countr_zero(starts));
                dst = PutRun(dst, text.data() + start + copied, i - copied, readable - copied);
                copied = i;
                dst = PutInsertion(dst, mark, ratio, pick, random, inserted, keywordChars);
                ++phrases;
            }
        }
        if (ends) {
            break;
        }
    }
    if (odd != 0) {
        out.CutTo(outStart);
        return {ByteLine::kUnusual, 0};
    }
    // As ReadNextLine: a CR takes the byte after it along.
    const std::size_t next = std::min(n + 2, readable);
    const bool isLastLine = next >= readable;
    if (isLastLine && (n == 0 || !textEnds)) {
        out.CutTo(outStart);
        return {ByteLine::kNone, 0};
    }
    out.Commit(dst);
    dst = out.Room(n - copied + 2);
    out.Commit(PutLineEnd(dst, text.data() + start + copied, n - copied, isLastLine));

    randomSource = random;
    AddLineCounts(stats, static_cast<std::uint32_t>(n - doubleBytes), phrases, inserted,
                  keywordChars, mark, isLastLine);
    return {ByteLine::kConverted, start + next};
}

}  // namespace quillery::detail
