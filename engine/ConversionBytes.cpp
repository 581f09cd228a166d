#include "ConversionBytes.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "ByteClassification.h"
#include "Cp932Codec.h"
#include "Cp932Text.h"

namespace quillery::detail {

namespace {

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

// The ways to classify a block, as the walk takes them; `kPopcountInstruction` says whether a
// popcount instruction may be used. The AVX2 one cannot be forced inline into the walk,
// which is compiled for any processor: WalkAvx2 flattens the two together.
struct BaselineClassifier {
    static constexpr bool kPopcountInstruction = false;
    [[gnu::always_inline]] static ByteMasks Classify(const unsigned char* p, std::size_t count,
                                                     std::size_t readable) {
#if defined(QUILLERY_SSE2)
        return ClassifySse2(p, count, readable);
#else
        return ClassifyBytewise(p, count, readable);
#endif
    }
};

#if defined(QUILLERY_AVX2)
struct Avx2Classifier {
    static constexpr bool kPopcountInstruction = true;
    [[gnu::target("avx2")]] static ByteMasks Classify(const unsigned char* p, std::size_t count,
                                                      std::size_t readable) {
        return ClassifyAvx2(p, count, readable);
    }
};
#endif

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

namespace {

// Written as ConvertWideLine is, on bytes: the text is classified 64 bytes at a time into
// bit masks, from which the line's end, the characters' first bytes and the insertion
// points follow without a branch per character; only the double-byte characters outside
// the common rows are looked up in `unusual`, to find those the walk must not copy as
// they are. Written once, and compiled once for each way to classify.
template <typename Classifier>
[[gnu::always_inline]] inline ByteLine Walk(const unsigned char* unusual, std::string_view text,
                                            std::size_t start, bool textEnds,
                                            const ByteKeywords& keywords,
                                            const ConversionOptions& options,
                                            RandomSource& randomSource, ConversionStats& stats,
                                            ByteOutput& out) {
    const auto* const p = reinterpret_cast<const unsigned char*>(text.data()) + start;
    const std::size_t readable = text.size() - start;
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
    std::size_t base = 0;             // where the block starts
    std::uint64_t inRun = 0;          // the block's bytes that are the line's
    std::uint64_t afterParticle = 1;  // bit 0: the line's start counts as a particle
    bool trailFirst = false;          // byte 0 of the block is a second byte
    unsigned char odd = 0;
    for (;; base += 64) {
        const std::size_t left = readable - base;
        const std::size_t count = std::min<std::size_t>(64, left);
        const ByteMasks masks = Classifier::Classify(p + base, count, left);
        inRun = count == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
        // The line ends in this block at its first CR, or where the text ends. Worked out
        // without a branch: one test a block, at the end, is what a line's end costs.
        const std::uint64_t crs = masks.crs & inRun;
        const bool ends = (crs != 0) | (left <= 64);
        inRun &= (crs & (0 - crs)) - 1;  // the bytes before the first CR; all without one
        const std::uint64_t leadStarts = LeadStarts(masks.leads & inRun, trailFirst);
        // A lead byte as the line's last byte has no second byte: the line is unusual, and
        // the byte after it is not looked up (it may lie past the text).
        const std::uint64_t lineEnd = (inRun & ~(inRun >> 1)) & (std::uint64_t{0} - ends);
        odd = (leadStarts & lineEnd) != 0;
        const std::uint64_t particles = leadStarts & masks.particlePairs;
        for (std::uint64_t others = leadStarts & ~particles & ~masks.usualPairs & ~lineEnd;
             others != 0; others &= others - 1) {
            const unsigned char* c = p + base + std::countr_zero(others);
            odd |= unusual[c[0] << 8 | c[1]];
        }
        if (odd != 0) {
            break;
        }
        if constexpr (Classifier::kPopcountInstruction) {
            doubleBytes += static_cast<std::size_t>(std::popcount(leadStarts));
        } else {
            doubleBytes += CountBits(leadStarts);
        }
        // A particle is two bytes: the character after it starts two bytes on.
        std::uint64_t starts = ~particles & inRun & ((particles << 2) | afterParticle);
        trailFirst = (leadStarts >> 63) != 0;
        afterParticle = particles >> 62;
        if (starts != 0) {
            // Room for the rest of the block, the line break and every insertion here: a
            // phrase starts only after a particle, two bytes, so a block of 64 holds at
            // most (64 + 2) / 2 insertion points.
            out.Commit(dst);
            dst = out.Room(base + 64 - copied + 2 + 33 * perInsertion);
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
    const std::size_t n = base + static_cast<std::size_t>(std::countr_one(inRun));
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

ByteLine WalkBaseline(const unsigned char* unusual, std::string_view text, std::size_t start,
                      bool textEnds, const ByteKeywords& keywords, const ConversionOptions& options,
                      RandomSource& random, ConversionStats& stats, ByteOutput& out) {
    return Walk<BaselineClassifier>(unusual, text, start, textEnds, keywords, options, random,
                                    stats, out);
}

#if defined(QUILLERY_AVX2)
// Flattened: the walk, and the classifier within it, are compiled here for AVX2 and the
// bit instructions; the same code outside this function stays as the build targets.
[[gnu::target("avx2,bmi,bmi2,popcnt"), gnu::flatten]] ByteLine WalkAvx2(
    const unsigned char* unusual, std::string_view text, std::size_t start, bool textEnds,
    const ByteKeywords& keywords, const ConversionOptions& options, RandomSource& random,
    ConversionStats& stats, ByteOutput& out) {
    return Walk<Avx2Classifier>(unusual, text, start, textEnds, keywords, options, random, stats,
                                out);
}
#endif

}  // namespace

bool ByteWalkUsesAvx2() {
#if defined(QUILLERY_AVX2)
    static const bool avx2 = HasAvx2();
    return avx2;
#else
    return false;
#endif
}

ByteLine ConvertByteLine(std::string_view text, std::size_t start, bool textEnds,
                         const ByteKeywords& keywords, const ConversionOptions& options,
                         RandomSource& random, ConversionStats& stats, ByteOutput& out) {
    const unsigned char* const unusual = Tables().unusual;
#if defined(QUILLERY_AVX2)
    if (ByteWalkUsesAvx2()) {
        return WalkAvx2(unusual, text, start, textEnds, keywords, options, random, stats, out);
    }
#endif
    return WalkBaseline(unusual, text, start, textEnds, keywords, options, random, stats, out);
}

}  // namespace quillery::detail
