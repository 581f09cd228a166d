// The byte walk classifies a block three ways, byte by byte, with SSE2 and with AVX2; the
// vector ways must give what the byte-by-byte one gives, on whole blocks and on the short
// ones at a line's or a text's end, for the bytes at every bound the tests draw.

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "engine/ByteClassification.h"
#include "engine/ConversionBytes.h"

namespace quillery::detail {
namespace {

// Bytes on either side of every bound a class has: lead byte ranges and rows, second byte
// ranges, particles, the empty stretches of rows 88 and 98, the katakana row's end, CR.
constexpr std::array<unsigned char, 40> kBounds = {
    0x00, 0x0A, 0x0D, 0x20, 0x3F, 0x40, 0x41, 0x44, 0x45, 0x72, 0x73, 0x7E, 0x7F, 0x80,
    0x81, 0x82, 0x83, 0x84, 0x87, 0x88, 0x89, 0x96, 0x97, 0x98, 0x99, 0x9E, 0x9F, 0xA0,
    0xA1, 0xC9, 0xDF, 0xE0, 0xE9, 0xEA, 0xF1, 0xF2, 0xFC, 0xFD, 0xFE, 0xFF};

// A block and what follows it: mostly bytes at the bounds, now and then any byte, and a
// CR only now and then, so that most blocks run whole.
std::vector<unsigned char> RandomBytes(std::mt19937& rng, std::size_t size) {
    std::vector<unsigned char> bytes(size);
    for (unsigned char& b : bytes) {
        do {
            b = rng() % 4 == 0 ? static_cast<unsigned char>(rng())
                               : kBounds[rng() % kBounds.size()];
        } while (b == '\r' && rng() % 8 != 0);
    }
    return bytes;
}

// The bits that are the line's: those up to the first CR among the first `count`, it
// included; a way may leave the rest as it likes.
ByteMasks LinesPart(ByteMasks masks, std::size_t count) {
    std::uint64_t keep = count == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
    const std::uint64_t crs = masks.crs & keep;
    if (crs != 0) {
        keep &= crs ^ (crs - 1);
    }
    return {masks.leads & keep, masks.particlePairs & keep, masks.usualPairs & keep,
            masks.crs & keep};
}

bool operator==(const ByteMasks& a, const ByteMasks& b) {
    return a.leads == b.leads && a.particlePairs == b.particlePairs &&
           a.usualPairs == b.usualPairs && a.crs == b.crs;
}

std::string Describe(const ByteMasks& m) {
    char text[100];
    std::snprintf(
        text, sizeof text, "leads %016llx particles %016llx usual %016llx crs %016llx",
        static_cast<unsigned long long>(m.leads), static_cast<unsigned long long>(m.particlePairs),
        static_cast<unsigned long long>(m.usualPairs), static_cast<unsigned long long>(m.crs));
    return text;
}

using Classify = ByteMasks (*)(const unsigned char*, std::size_t, std::size_t);

ByteMasks CallBytewise(const unsigned char* p, std::size_t count, std::size_t readable) {
    return ClassifyBytewise(p, count, readable);
}

// Classifies a copy of the first `readable` bytes, in a buffer of that size, so that a
// sanitizer build sees any read past them.
ByteMasks ClassifyExactly(Classify classify, const std::vector<unsigned char>& bytes,
                          std::size_t count, std::size_t readable) {
    const std::vector<unsigned char> exact(bytes.begin(),
                                           bytes.begin() + static_cast<std::ptrdiff_t>(readable));
    return LinesPart(classify(exact.data(), count, readable), count);
}

// Every count from 1 to 64 with as much readable after it as a block needs and less, on
// many blocks.
void ExpectAsBytewise(Classify classify) {
    std::mt19937 rng(20261208);
    for (int block = 0; block < 3000; ++block) {
        const std::vector<unsigned char> bytes = RandomBytes(rng, 96);
        for (std::size_t count = 1; count <= 64; ++count) {
            for (const std::size_t readable :
                 {count, count + 1, count + 16, count + 17, std::size_t{96}}) {
                const ByteMasks want = ClassifyExactly(CallBytewise, bytes, count, readable);
                const ByteMasks got = ClassifyExactly(classify, bytes, count, readable);
                if (!(got == want)) {
                    FAIL() << Describe(got) << "\n  want " << Describe(want) << "\n  block "
                           << block << ", count " << count << ", readable " << readable;
                }
            }
        }
    }
}

// Every lead byte with every second byte, each pair at every position of a whole block.
void ExpectEveryPairAsBytewise(Classify classify) {
    std::vector<unsigned char> bytes(65, 'a');
    for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
        for (unsigned trail = 0; trail <= 0xFF; ++trail) {
            const std::size_t at = (lead * 7 + trail) % 64;
            bytes[at] = static_cast<unsigned char>(lead);
            bytes[at + 1] = static_cast<unsigned char>(trail);
            const ByteMasks want = ClassifyExactly(CallBytewise, bytes, 64, 65);
            const ByteMasks got = ClassifyExactly(classify, bytes, 64, 65);
            if (!(got == want)) {
                FAIL() << Describe(got) << "\n  want " << Describe(want) << "\n  pair " << std::hex
                       << lead << ' ' << trail;
            }
            bytes[at] = bytes[at + 1] = 'a';
        }
    }
}

#if defined(QUILLERY_SSE2)
ByteMasks CallSse2(const unsigned char* p, std::size_t count, std::size_t readable) {
    return ClassifySse2(p, count, readable);
}

TEST(ByteClassification, Sse2GivesWhatBytewiseGives) {
    ExpectAsBytewise(CallSse2);
    ExpectEveryPairAsBytewise(CallSse2);
}
#endif

#if defined(QUILLERY_AVX2)
[[gnu::target("avx2")]] ByteMasks CallAvx2(const unsigned char* p, std::size_t count,
                                           std::size_t readable) {
    return ClassifyAvx2(p, count, readable);
}

// Else the test above and the walk's tests would check the SSE2 path twice.
TEST(ByteClassification, TheWalkTakesAvx2WhereTheProcessorHasIt) {
    EXPECT_EQ(ByteWalkUsesAvx2(), HasAvx2());
}

TEST(ByteClassification, Avx2GivesWhatBytewiseGives) {
    if (!HasAvx2()) {
        GTEST_SKIP() << "this processor has no AVX2";
    }
    ExpectAsBytewise(CallAvx2);
    ExpectEveryPairAsBytewise(CallAvx2);
}
#endif

}  // namespace
}  // namespace quillery::detail
