// The converter's argument parser.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/Arguments.h"

namespace quillery {
namespace {

// What the parser took: dictionary|input|ratio|seed|mark|error.
std::string Parsed(const std::vector<std::string>& args) {
    const ParsedArguments p = ParseArguments(args);
    return p.options.dictionary + "|" + p.options.input + "|" + std::to_string(p.options.ratio) +
           "|" + (p.options.seed ? std::to_string(*p.options.seed) : "clock") + "|" +
           (p.options.mark ? "mark" : "") + "|" + p.error + (p.help ? "|help" : "");
}

TEST(ParseArguments, DefaultsAndEveryOptionInAnyOrder) {
    EXPECT_EQ(Parsed({"--dictionary", "velmo.dat"}), "velmo.dat||4|clock||");
    EXPECT_EQ(
        Parsed({"in.txt", "--mark", "--seed", "4294967295", "--ratio", "10", "--dictionary", "d"}),
        "d|in.txt|10|4294967295|mark|");
    EXPECT_EQ(Parsed({"--dictionary", "d", "--ratio", "0", "--seed", "0"}), "d||0|0||");
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
