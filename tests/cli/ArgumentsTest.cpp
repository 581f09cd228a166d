// The converter's argument parser.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/Arguments.h"

namespace quillery {
namespace {

ParsedArguments Parse(std::vector<std::string> args) {
    return ParseArguments(args);
}

TEST(ParseArguments, DefaultsWithOnlyTheDictionary) {
    const ParsedArguments parsed = Parse({"--dictionary", "velmo.dat"});
    EXPECT_EQ(parsed.error, "");
    EXPECT_FALSE(parsed.help);
    EXPECT_EQ(parsed.options.dictionary, "velmo.dat");
    EXPECT_EQ(parsed.options.input, "");
    EXPECT_EQ(parsed.options.ratio, 4);
    EXPECT_FALSE(parsed.options.seed.has_value());
    EXPECT_FALSE(parsed.options.mark);
}

TEST(ParseArguments, EveryOptionInAnyOrder) {
    const ParsedArguments parsed =
        Parse({"in.txt", "--mark", "--seed", "4294967295", "--ratio", "10", "--dictionary", "d"});
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.dictionary, "d");
    EXPECT_EQ(parsed.options.input, "in.txt");
    EXPECT_EQ(parsed.options.ratio, 10);
    EXPECT_EQ(parsed.options.seed, 4294967295u);
    EXPECT_TRUE(parsed.options.mark);

    EXPECT_EQ(Parse({"--dictionary", "d", "--ratio", "0", "--seed", "0"}).options.ratio, 0);
    EXPECT_EQ(Parse({"--dictionary", "d", "--ratio", "0", "--seed", "0"}).options.seed, 0u);
}

TEST(ParseArguments, HelpWins) {
    EXPECT_TRUE(Parse({"--help"}).help);
    EXPECT_TRUE(Parse({"--dictionary", "d", "--help"}).help);
    EXPECT_TRUE(Parse({"-h"}).help);
}

TEST(ParseArguments, BadArgumentsGiveAnError) {
    const std::vector<std::vector<std::string>> bad{
        {},
        {"in.txt"},
        {"--dictionary"},
        {"--dictionary", ""},
        {"--dictionary", "d", "--ratio"},
        {"--dictionary", "d", "--seed"},
        {"--dictionary", "d", "--ratio", "11"},
        {"--dictionary", "d", "--ratio", "-1"},
        {"--dictionary", "d", "--ratio", "4.5"},
        {"--dictionary", "d", "--ratio", ""},
        {"--dictionary", "d", "--ratio", "abc"},
        {"--dictionary", "d", "--seed", "4294967296"},
        {"--dictionary", "d", "--seed", "99999999999999999999999"},
        {"--dictionary", "d", "--seed", "abc"},
        {"--dictionary", "d", "--seed", "-1"},
        {"--dictionary", "d", "--seed", "+1"},
        {"--dictionary", "d", "--seed", " 1"},
        {"--dictionary", "d", "--seed", "0x10"},
        {"--dictionary", "d", "--unknown"},
        {"--dictionary", "d", "-x"},
        {"--dictionary", "d", "a.txt", "b.txt"},
    };
    for (const auto& args : bad) {
        const ParsedArguments parsed = Parse(args);
        EXPECT_NE(parsed.error, "") << testing::PrintToString(args);
        EXPECT_FALSE(parsed.help) << testing::PrintToString(args);
    }
}

TEST(ParseDecimal, DigitsWithinTheLimit) {
    EXPECT_EQ(ParseDecimal("0", 10), 0u);
    EXPECT_EQ(ParseDecimal("10", 10), 10u);
    EXPECT_EQ(ParseDecimal("007", 10), 7u);
    EXPECT_EQ(ParseDecimal("4294967295", 4294967295u), 4294967295u);
    EXPECT_EQ(ParseDecimal("18446744073709551615", UINT64_MAX), UINT64_MAX);
    EXPECT_FALSE(ParseDecimal("11", 10));
    EXPECT_FALSE(ParseDecimal("4294967296", 4294967295u));
    EXPECT_FALSE(ParseDecimal("18446744073709551616", UINT64_MAX));
    EXPECT_FALSE(ParseDecimal("", 10));
    EXPECT_FALSE(ParseDecimal("1a", 10));
}

TEST(ParseDecimal, SingleDigitAboveASmallLimit) {
    EXPECT_FALSE(ParseDecimal("7", 5));
    EXPECT_FALSE(ParseDecimal("9", 0));
    EXPECT_EQ(ParseDecimal("5", 5), 5u);
    EXPECT_EQ(ParseDecimal("0", 0), 0u);
}

}  // namespace
}  // namespace quillery
