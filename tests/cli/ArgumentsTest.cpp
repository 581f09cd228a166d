// The converter's argument parser.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "cli/Arguments.h"

namespace quillery {
namespace {

// What the parser took: dictionary|input|ratio|seed|mark|error, then the encoding when it
// is UTF-8 and help or version when asked for.
std::string Parsed(const std::vector<std::string>& args) {
    const ParsedArguments p = ParseArguments(args);
    return p.options.dictionary + "|" + p.options.input + "|" + std::to_string(p.options.ratio) +
           "|" + (p.options.seed ? std::to_string(*p.options.seed) : "clock") + "|" +
           (p.options.mark ? "mark" : "") + "|" + p.error +
           (p.options.encoding == Encoding::kUtf8 ? "|utf-8" : "") + (p.help ? "|help" : "") +
           (p.version ? "|version" : "");
}

TEST(ParseArguments, DefaultsAndEveryOptionInAnyOrder) {
    EXPECT_EQ(Parsed({"--dictionary", "velmo.dat"}), "velmo.dat||4|clock||");
    EXPECT_EQ(
        Parsed({"in.txt", "--mark", "--seed", "4294967295", "--ratio", "10", "--dictionary", "d"}),
        "d|in.txt|10|4294967295|mark|");
    EXPECT_EQ(Parsed({"--dictionary", "d", "--ratio", "0", "--seed", "0"}), "d||0|0||");
}

TEST(ParseArguments, EncodingCp932OrUtf8TheLastOneCounts) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--encoding", "utf-8", "--dictionary", "d"}, "d||4|clock|||utf-8"},
        {{"--dictionary", "d", "--encoding", "cp932"}, "d||4|clock||"},
        {{"--encoding", "utf-8", "--encoding", "cp932", "--dictionary", "d"}, "d||4|clock||"},
        {{"--encoding", "cp932", "--encoding", "utf-8", "--dictionary", "d", "in.txt"},
         "d|in.txt|4|clock|||utf-8"},
        {{"--dictionary", "d", "--encoding"}, "d||4|clock||--encoding needs a value"},
        {{"--dictionary", "d", "--encoding", "UTF-8"},
         "d||4|clock||--encoding must be cp932 or utf-8: UTF-8"},
        {{"--dictionary", "d", "--encoding", "utf8"},
         "d||4|clock||--encoding must be cp932 or utf-8: utf8"},
        {{"--dictionary", "d", "--encoding", ""},
         "d||4|clock||--encoding must be cp932 or utf-8: "},
        {{"--dictionary", "d", "--encoding", "shift_jis"},
         "d||4|clock||--encoding must be cp932 or utf-8: shift_jis"},
    };
    for (const auto& [args, parsed] : cases) {
        EXPECT_EQ(Parsed(args), parsed) << testing::PrintToString(args);
    }
}

// The first of --help and --version ends the parsing, whatever else is there.
TEST(ParseArguments, HelpOrVersionWinsOverEverythingElse) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--dictionary", "d", "--help", "--frobnicate"}, "d||4|clock|||help"},
        {{"-h"}, "||4|clock|||help"},
        {{"--version"}, "||4|clock|||version"},
        {{"--ratio", "99", "--version"}, "||4|clock||--ratio must be a number from 0 to 10: 99"},
        {{"--encoding", "utf-16", "--help"},
         "||4|clock||--encoding must be cp932 or utf-8: utf-16"},
        {{"--version", "--help", "--encoding", "x"}, "||4|clock|||version"},
        {{"--help", "--version"}, "||4|clock|||help"},
        // Taken as the value of --dictionary, not as the option.
        {{"--dictionary", "--version"}, "--version||4|clock||"},
    };
    for (const auto& [args, parsed] : cases) {
        EXPECT_EQ(Parsed(args), parsed) << testing::PrintToString(args);
    }
}

TEST(VersionLine, NamesTheProgramThePackageAndTheProjectVersion) {
    EXPECT_EQ(VersionLine(), "quillery-convert (Quillery Mini) " QUILLERY_EXPECTED_VERSION);
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
