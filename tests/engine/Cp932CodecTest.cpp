// The code page 932 codec: the Windows mapping, escaped bytes for what does not decode,
// "?" for what does not encode, and exact round trips.

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>
#include <string>

#include "engine/Cp932Codec.h"
#include "tests/engine/TestSupport.h"

namespace quillery {
namespace {

using test::Bytes;
using test::U16;

class Cp932CodecTest : public testing::Test {
  protected:
    Cp932Codec codec_;
};

TEST_F(Cp932CodecTest, JapaneseProseBothWays) {
    const std::u16string text = U16("吾輩は猫である。名前はまだ無い。ｶﾀｶﾅ①㈱髙ⅰ纊Ⅰ\\~");
    const std::string bytes = Bytes(
        "8ce1 9479 82cd 944c 82c5 82a0 82e9 8142 96bc 914f 82cd 82dc 82be 96b3 82a2 8142"
        "b6 c0 b6 c5 8740 878a fbfc fa40 fa5c 8754 5c 7e");
    EXPECT_EQ(codec_.Encode(text), bytes);
    EXPECT_EQ(codec_.Decode(bytes), text);
}

// Where a character has two codes, the one Windows encodes: ≒ ￢ ∵ in the JIS rows, not
// NEC row 13 or the IBM rows; the user-defined area is the private use area; look-alikes
// outside the code page take Windows' best fit.
TEST_F(Cp932CodecTest, EncodesAsWindowsDoes) {
    EXPECT_EQ(
        codec_.Encode(u"\u2252\uFFE2\u2235\uFF5E\u2225\uFF0D\uFF3C\uE000\uE757\u00A5\u2014\u2212"),
        Bytes("81e0 81ca 81e6 8160 8161 817c 815f f040 f9fc 5c 815c 817c"));
    // Every code of a duplicated character decodes to it.
    EXPECT_EQ(codec_.Decode(Bytes("ed40 fa5c eeef fa40 8754 fa4a 81e0 8790 fa54 fa5b 879a")),
              u"\u7E8A\u7E8A\u2170\u2170\u2160\u2160\u2252\u2252\uFFE2\u2235\u2235");
}

TEST_F(Cp932CodecTest, UndecodableBytesAreEscapedOneAtATimeAndEncodeBack) {
    const std::pair<std::string, std::u16string> cases[] = {
        {"a\x80\xA0\xFD\xFE\xFF", u"a\xDC80\xDCA0\xDCFD\xDCFE\xDCFF"},
        {"ab\x82", u"ab\xDC82"},  // a lead byte at the very end
        // A lead byte with a bad trail byte escapes only itself, so no line break is lost.
        {"\x82\x20\x82\xA0", u"\xDC82 \u3042"},
        {Bytes("8540 eb40"), u"\xDC85@\xDCEB@"},
        {"\x82\r\nab", u"\xDC82\r\nab"},
        {"\x93\nab", u"\xDC93\nab"},
        {"\xE0\r", u"\xDCE0\r"}};
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(codec_.Decode(bytes), text) << testing::PrintToString(bytes);
        EXPECT_EQ(codec_.Encode(text), bytes) << testing::PrintToString(bytes);
    }
}

// An escaped lead byte written back as itself must not join the first byte of what
// follows into another character: 纊 is written 0xFA 0x5C and 0xEE 0xFA is ￤; 0x88 0xA1
// is 唖 whether 0xA1 comes from ｡ or from an escaped byte.
TEST_F(Cp932CodecTest, AnEscapedLeadByteThatWouldJoinTheNextCharacterIsAQuestionMark) {
    EXPECT_EQ(codec_.Encode(u"\xDCEE" + U16("纊")), "?\xFA\x5C");
    EXPECT_EQ(codec_.Encode(u"X\xDC88\xFF61"), "X?\xA1");
    EXPECT_EQ(codec_.Encode(u"\xDC88\xDCA1"), "?\xA1");
    // A stray lead byte before 纊's other code, as a file may hold it.
    EXPECT_EQ(codec_.Encode(codec_.Decode(Bytes("ee ed40"))), Bytes("3f fa5c"));
    // Escaped bytes that join nothing stay their bytes.
    EXPECT_EQ(codec_.Encode(u"\xDC88" + U16("亜")), "\x88\x88\x9F");
    EXPECT_EQ(codec_.Encode(u"\xDC80\xFF61"), "\x80\xA1");  // not a lead byte
    EXPECT_EQ(codec_.Encode(u"\xDCFF\xDC88"), "\xFF\x88");
    EXPECT_EQ(codec_.Encode(u"\xDC88\r\n"), "\x88\r\n");
}

// A character beyond the basic plane is one "?", not one per unit.
TEST_F(Cp932CodecTest, ACharacterBeyondTheBasicPlaneIsOneQuestionMark) {
    EXPECT_EQ(codec_.Encode(u"a𠮷b😀😀c"), "a?b??c");
    EXPECT_EQ(codec_.Encode(u"\xD842\xD842\xDFB7"), "??");
}

// Leads whose characters also have a code elsewhere encode to that other code, as on
// Windows, so only their decoded text round trips.
bool HasSecondCode(unsigned char lead) {
    return lead == 0x87 || lead == 0xED || lead == 0xEE || lead == 0xFA;
}

// What the platform converter gives for a piece it converts whole, if it does.
std::optional<std::string> Iconv(bool toUtf16, std::string_view input) {
    constexpr const char* kUtf16 =
        std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
    static const iconv_t decoder = iconv_open(kUtf16, "CP932");
    static const iconv_t encoder = iconv_open("CP932", kUtf16);
    const iconv_t cd = toUtf16 ? decoder : encoder;
    char buffer[8];
    char* in = const_cast<char*>(input.data());
    char* out = buffer;
    std::size_t inLeft = input.size();
    std::size_t outLeft = sizeof buffer;
    const bool ok = iconv(cd, &in, &inLeft, &out, &outLeft) != std::size_t(-1) && inLeft == 0;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    return ok ? std::optional(std::string(buffer, out)) : std::nullopt;
}

// Every sequence of one or two bytes: the one character the platform converter sees in
// it, or else its first byte escaped and the rest decoded on its own; and back.
TEST_F(Cp932CodecTest, DecodesEveryShortSequenceAsThePlatformConverterDoes) {
    for (int first = 0; first < 256; ++first) {
        const std::string one(1, static_cast<char>(first));
        for (int second = -1; second < 256; ++second) {
            const std::string bytes = second < 0 ? one : one + static_cast<char>(second);
            const auto whole = Iconv(true, bytes);
            std::u16string expected(1, static_cast<char16_t>(kEscapedByteBase + first));
            if (whole && whole->size() == 2) {
                std::memcpy(expected.data(), whole->data(), 2);
            } else if (second >= 0) {
                expected = codec_.Decode(one) + codec_.Decode(bytes.substr(1));
            }
            SCOPED_TRACE(testing::Message() << std::hex << first << " " << second);
            ASSERT_EQ(codec_.Decode(bytes), expected);
            if (IsEscapedByte(expected[0]) || !HasSecondCode(static_cast<unsigned char>(first))) {
                ASSERT_EQ(codec_.Encode(expected), bytes);
            }
        }
    }
}

TEST_F(Cp932CodecTest, EncodesEveryUnitAsThePlatformConverterDoes) {
    for (int u = 0; u < 0x10000; ++u) {
        const std::u16string unit(1, static_cast<char16_t>(u));
        const auto expected =
            Iconv(false, std::string_view(reinterpret_cast<const char*>(unit.data()), 2));
        ASSERT_EQ(
            codec_.Encode(unit),
            expected.value_or(IsEscapedByte(unit[0]) ? std::string(1, static_cast<char>(u)) : "?"))
            << std::hex << u;
    }
}

}  // namespace
}  // namespace quillery
