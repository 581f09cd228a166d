// The shared text rules: line breaks, the exact round trip and
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

TEST(Cp932Text, LineBreaksAndNul) {
    EXPECT_TRUE(HasLineBreakOrNul(u"a\rb"sv) && HasLineBreakOrNul(u"x\0y"sv));
    EXPECT_FALSE(HasLineBreakOrNul(u"東京 \t\x85\x2028"sv));
    EXPECT_TRUE(HasLineBreakOrNul("a\0"sv));
    const std::pair<std::u16string_view, std::u16string_view> cases[] = {
        {u"a\r\nb\r\n", u"a\nb\n"}, {u"\r\r\n\n", u"\r\n\n"}, {u"a\n\rb\r", u"a\n\rb\r"}};
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(test::Utf8(CrLfToLf(in)), test::Utf8(out));
    }
}

TEST(Cp932Text, EncodeExactlyRefusesWhatDoesNotReadBack) {
    EXPECT_EQ(EncodeExactly(u"表ソa\\~"),
              "\x95\x5C\x83\x5C"
              "a\\~");
    for (const std::u16string_view text : {u"\u301C"sv, u"😀"sv, u"?\xD800"sv,
                                           u"\xDC81"
                                           u"a"sv}) {
        EXPECT_FALSE(EncodeExactly(text)) << test::Utf8(text);
    }
}

TEST(DecimalText, DigitsWithinTheLimitOnly) {
    const std::tuple<std::string_view, std::uint64_t, std::optional<std::uint64_t>> cases[] = {
        {"0000000000000000000000001", 5, 1},
        {"18446744073709551615", UINT64_MAX, UINT64_MAX},
        {"18446744073709551616", UINT64_MAX, std::nullopt},
        {"6", 5, std::nullopt},
        {"", 5, std::nullopt},
        {"\xEF\xBC\x91", 5, std::nullopt}};
    for (const auto& [text, max, value] : cases) {
        EXPECT_EQ(ParseDecimalDigits(text, max), value) << text;
    }
}

}  // namespace
}  // namespace quillery
