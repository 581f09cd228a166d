// The converter's argument parser.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "cli/Arguments.h"

namespace quillery {
namespace {

// dictionary|input|ratio|seed|mark|error, then utf-8, help or version when so.
std::string Parsed(const std::vector<std::string>& args) {
    const ParsedArguments p = ParseArguments(args);
    return p.options.dictionary + "|" + p.options.input + "|" + std::to_string(p.options.ratio) +
           "|" + (p.options.seed ? std::to_string(*p.options.seed) : "clock") + "|" +
           (p.options.mark ? "mark" : "") + "|" + p.error +
           (p.options.encoding == Encoding::kUtf8 ? "|utf-8" : "") + (p.help ? "|help" : "") +
           (p.version ? "|version" : "");
}

TEST(ParseArguments, OptionsInAnyOrderAndTheirErrors) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--dictionary", "velmo.dat"}, "velmo.dat||4|clock||"},
        {{"in.txt", "--mark", "--seed", "4294967295", "--ratio", "10", "--dictionary", "d"},
         "d|in.txt|10|4294967295|mark|"},
        {{}, "||4|clock||--dictionary FILE is required"},
        {{"--dictionary"}, "||4|clock||--dictionary needs a value"},
        {{"--dictionary", "d", "--seed"}, "d||4|clock||--seed needs a value"},
        {{"--dictionary", "d", "--ratio", "11"},
         "d||4|clock||--ratio must be a number from 0 to 10: 11"},
        {{"--dictionary", "d", "--frobnicate"}, "d||4|clock||unknown option --frobnicate"},
        {{"--dictionary", "d", "a.txt", "b.txt"},
         "d|a.txt|4|clock||only one INPUT file may be given"},
        // The encoding: cp932 or utf-8, the last one counting.
        {{"--encoding", "utf-8", "--encoding", "cp932", "--dictionary", "d"}, "d||4|clock||"},
        {{"--dictionary", "d", "--encoding"}, "d||4|clock||--encoding needs a value"},
        {{"--dictionary", "d", "--encoding", "UTF-8"},
         "d||4|clock||--encoding must be cp932 or utf-8: UTF-8"},
        // The first of --help and --version ends the parsing, whatever else is there.
        {{"--dictionary", "d", "--help", "--frobnicate"}, "d||4|clock|||help"},
        {{"-h"}, "||4|clock|||help"},
        {{"--version"}, "||4|clock|||version"},
        {{"--ratio", "99", "--version"}, "||4|clock||--ratio must be a number from 0 to 10: 99"},
        // Taken as the value of --dictionary, not as the option.
        {{"--dictionary", "--version"}, "--version||4|clock||"},
        // --name=value; "-" is standard input; after "--" everything is a file.
        {{"--dictionary=d=e", "--ratio=3", "--seed=7", "--encoding=utf-8", "in.txt"},
         "d=e|in.txt|3|7|||utf-8"},
        {{"--dictionary=d", "--mark=1"}, "d||4|clock||--mark takes no value"},
        {{"--dictionary", "d", "-", "in.txt"}, "d||4|clock||only one INPUT file may be given"},
        {{"--dictionary", "d", "--", "--mark"}, "d|--mark|4|clock||"},
        {{"--dictionary", "d", "--=x"}, "d||4|clock||unknown option --"},
        {{"--dictionary", "d", "--seed=x=1"},
         "d||4|clock||--seed must be a number from 0 to 4294967295: x=1"}};
    for (const auto& [args, parsed] : cases) {
        EXPECT_EQ(Parsed(args), parsed) << testing::PrintToString(args);
    }
    // Decimal digits only, within the limit, and no more than the longest number has.
    for (const char* bad : {"", "+1", "0x10", "-1", "4294967296", "000000000000000000001"}) {
        EXPECT_EQ(Parsed({"--dictionary", "d", "--seed", bad}),
                  std::string("d||4|clock||--seed must be a number from 0 to 4294967295: ") + bad);
    }
}

}  // namespace
}  // namespace quillery
