// The shared text rules: lead bytes, surrogates, line breaks, the exact round trip and
// decimal digits.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include "engine/Cp932Codec.h"
#include "engine/Cp932Text.h"
#include "engine/DecimalText.h"
#include "tests/engine/TestSupport.h"

namespace quillery {
namespace {

using namespace std::literals;

TEST(Cp932Text, LeadBytesAreTheTwoRangesOnly) {
    for (int b = 0; b < 256; ++b) {
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        EXPECT_EQ(IsCp932LeadByte(static_cast<unsigned char>(b)), lead) << std::hex << b;
    }
}

TEST(Cp932Text, SurrogateKinds) {
    for (const char16_t unit : {0xD7FF, 0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0xE000}) {
        EXPECT_EQ(IsHighSurrogate(unit), unit >= 0xD800 && unit < 0xDC00) << std::hex << int{unit};
        EXPECT_EQ(IsLowSurrogate(unit), unit >= 0xDC00 && unit < 0xE000) << std::hex << int{unit};
    }
}

TEST(Cp932Text, ScanningSkipsSecondBytes) {
    const std::string text = "\x95\x5C=\x83\x5C/a=";  // 表=ソ/a=
    EXPECT_EQ(FindCp932Char(text, '\\'), std::string::npos);
    EXPECT_EQ(FindCp932Char(text, '='), 2u);
    EXPECT_EQ(FindCp932Char(text, '=', 3), 7u);
    EXPECT_EQ(Cp932CharLength("\x81", 0), 1u);  // a lead byte without its second byte
    EXPECT_TRUE(EqualsIgnoringAsciiCase("Path\x83\x41", "pATH\x83\x41"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("\x83\x41", "\x83\x61"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("ab", "abc"));
}

TEST(Cp932Text, LineBreaksAndNul) {
    for (const std::u16string_view text : {u"a\rb"sv, u"\n"sv, u"x\0y"sv}) {
        EXPECT_TRUE(HasLineBreakOrNul(text));
    }
    EXPECT_FALSE(HasLineBreakOrNul(u"東京 \t\x85\x2028"sv));
    EXPECT_TRUE(HasLineBreakOrNul("a\0"sv));
    EXPECT_FALSE(HasLineBreakOrNul(""sv));
    const std::pair<std::u16string_view, std::u16string_view> cases[] = {
        {u"", u""}, {u"\r\n", u"\n"}, {u"a\r\nb\r\n", u"a\nb\n"}, {u"\r", u"\r"},
        {u"\r\r\n\n", u"\r\n\n"}, {u"a\n\rb\r", u"a\n\rb\r"}};
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(test::Utf8(CrLfToLf(in)), test::Utf8(out));
    }
}

TEST(Cp932Text, EncodeExactlyRefusesWhatDoesNotReadBack) {
    EXPECT_EQ(EncodeExactly(u"表ソa\\~"), "\x95\x5C\x83\x5C" "a\\~");
    EXPECT_EQ(EncodeExactly(u""), "");
    EXPECT_TRUE(ThreadCodec().IsOpen());
    for (const std::u16string_view text :
         {u"\u301C"sv, u"\u00A5"sv, u"é"sv, u"😀"sv, u"?\xD800"sv, u"\xDC81" u"a"sv}) {
        EXPECT_FALSE(EncodeExactly(text)) << test::Utf8(text);
    }
}

TEST(DecimalText, DigitsWithinTheLimitOnly) {
    const std::tuple<std::string_view, std::uint64_t, std::optional<std::uint64_t>> cases[] = {
        {"0", 0, 0}, {"9", 0, std::nullopt}, {"007", 10, 7}, {"4294967295", 4294967295u, 4294967295u},
        {"4294967296", 4294967295u, std::nullopt}, {"18446744073709551615", UINT64_MAX, UINT64_MAX},
        {"18446744073709551616", UINT64_MAX, std::nullopt}, {"0000000000000000000000001", 5, 1},
        {"", 5, std::nullopt}, {"+1", 5, std::nullopt}, {" 1", 5, std::nullopt},
        {"1 ", 5, std::nullopt}, {"-0", 5, std::nullopt}, {"\xEF\xBC\x91", 5, std::nullopt}};
    for (const auto& [text, max, value] : cases) {
        EXPECT_EQ(ParseDecimalDigits(text, max), value) << text;
    }
}

}  // namespace
}  // namespace quillery
