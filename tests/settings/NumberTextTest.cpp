#include "settings/NumberText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace quillery {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

TEST(NumberText, TakesDigitsUpToTheFirstOtherCharacter) {
    EXPECT_EQ(ParseNumberText("0"), 0);
    EXPECT_EQ(ParseNumberText("640"), 640);
    EXPECT_EQ(ParseNumberText("12abc"), 12);
    EXPECT_EQ(ParseNumberText("3 4"), 3);
    EXPECT_EQ(ParseNumberText("7.9"), 7);
    EXPECT_EQ(ParseNumberText("0x10"), 0);
    EXPECT_EQ(ParseNumberText("007"), 7);
}

TEST(NumberText, TextWithoutDigitsGivesZero) {
    EXPECT_EQ(ParseNumberText(""), 0);
    EXPECT_EQ(ParseNumberText("abc"), 0);
    EXPECT_EQ(ParseNumberText("-"), 0);
    EXPECT_EQ(ParseNumberText("+-3"), 0);
    EXPECT_EQ(ParseNumberText("- 3"), 0);
    // Full-width digits are not digits.
    EXPECT_EQ(ParseNumberText("\x82\x50\x82\x51"), 0);
}

TEST(NumberText, SkipsLeadingWhiteSpaceAndTakesOneSign) {
    EXPECT_EQ(ParseNumberText(" -5"), -5);
    EXPECT_EQ(ParseNumberText("+7"), 7);
    EXPECT_EQ(ParseNumberText(" \t\r\n\v\f42"), 42);
    EXPECT_EQ(ParseNumberText("-0"), 0);
}

TEST(NumberText, WrapsModulo2To32) {
    EXPECT_EQ(ParseNumberText("4294967295"), -1);
    EXPECT_EQ(ParseNumberText("4294967296"), 0);
    EXPECT_EQ(ParseNumberText("4294967297"), 1);
    EXPECT_EQ(ParseNumberText("2147483647"), kMax);
    EXPECT_EQ(ParseNumberText("2147483648"), kMin);
    EXPECT_EQ(ParseNumberText("-2147483648"), kMin);
    EXPECT_EQ(ParseNumberText("-2147483649"), kMax);
    EXPECT_EQ(ParseNumberText("-4294967295"), 1);
    EXPECT_EQ(ParseNumberText("99999999999999999999"), 1661992959);
}

TEST(NumberText, FormatsTheSignedDecimalOfTheBits) {
    EXPECT_EQ(FormatNumberText(std::int32_t{0}), "0");
    EXPECT_EQ(FormatNumberText(std::int32_t{-7}), "-7");
    EXPECT_EQ(FormatNumberText(kMin), "-2147483648");
    EXPECT_EQ(FormatNumberText(std::uint32_t{4294967295u}), "-1");
    EXPECT_EQ(FormatNumberText(std::uint32_t{2147483648u}), "-2147483648");
    EXPECT_EQ(FormatNumberText(std::uint32_t{2147483647u}), "2147483647");
}

TEST(NumberText, FormattedBitsReadBackTheSame) {
    for (const std::uint32_t bits : {0u, 1u, 2147483647u, 2147483648u, 4000000000u, 4294967295u}) {
        EXPECT_EQ(static_cast<std::uint32_t>(ParseNumberText(FormatNumberText(bits))), bits);
    }
}

}  // namespace
}  // namespace quillery
