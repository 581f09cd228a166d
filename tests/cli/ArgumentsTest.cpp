// The converter's argument parser.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/Arguments.h"

namespace quillery {
namespace {

TEST(ParseArguments, DefaultsAndEveryOptionInAnyOrder) {
    ParsedArguments parsed = ParseArguments({"--dictionary", "velmo.dat"});
    EXPECT_EQ(parsed.error, "");
    EXPECT_FALSE(parsed.help);
    EXPECT_EQ(parsed.options.dictionary, "velmo.dat");
    EXPECT_EQ(parsed.options.input, "");
    EXPECT_EQ(parsed.options.ratio, 4);
    EXPECT_FALSE(parsed.options.seed);
    EXPECT_FALSE(parsed.options.mark);
    parsed = ParseArguments(
        {"in.txt", "--mark", "--seed", "4294967295", "--ratio", "10", "--dictionary", "d"});
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.dictionary, "d");
    EXPECT_EQ(parsed.options.input, "in.txt");
    EXPECT_EQ(parsed.options.ratio, 10);
    EXPECT_EQ(parsed.options.seed, 4294967295u);
    EXPECT_TRUE(parsed.options.mark);
    parsed = ParseArguments({"--dictionary", "d", "--ratio", "0", "--seed", "0"});
    EXPECT_EQ(parsed.options.ratio, 0);
    EXPECT_EQ(parsed.options.seed, 0u);
}

TEST(ParseArguments, HelpWinsOverEverythingElse) {
    EXPECT_TRUE(ParseArguments({"--dictionary", "d", "--help", "--frobnicate"}).help);
    EXPECT_TRUE(ParseArguments({"-h"}).help);
}

// Also for a limit below 9, where max - digit would wrap around.
TEST(ParseDecimal, DigitsWithinTheLimitOnly) {
    EXPECT_EQ(ParseDecimal("007", 10), 7u);
    EXPECT_EQ(ParseDecimal("18446744073709551615", UINT64_MAX), UINT64_MAX);
    EXPECT_FALSE(ParseDecimal("18446744073709551616", UINT64_MAX));
    EXPECT_FALSE(ParseDecimal("7", 5));
    EXPECT_FALSE(ParseDecimal("9", 0));
    EXPECT_EQ(ParseDecimal("5", 5), 5u);
    EXPECT_EQ(ParseDecimal("0", 0), 0u);
    for (const char* bad : {"", "abc", "+1", " 1", "0x10", "4.5", "-1", "4294967296"}) {
        EXPECT_FALSE(ParseDecimal(bad, 4294967295u)) << bad;
    }
}

}  // namespace
}  // namespace quillery
