#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillery {

inline constexpr const char* kUsage =
    "usage: quillery-convert --dictionary FILE [--ratio N] [--seed N] [--mark]\n"
    "                        [--encoding cp932|utf-8] [INPUT]\n"
    "  Inserts keywords from FILE (code page 932, one per line) in front of the phrases\n"
    "  of INPUT (code page 932, CR LF line breaks; standard input when absent or -)\n"
    "  and writes the converted text to standard output, the statistics to standard\n"
    "  error. Options also take their value as --name=value; -- ends the options.\n"
    "  --ratio N   insertion probability in tenths, 0..10 (default 4)\n"
    "  --seed N    fixed seed 0..4294967295 (default: the clock, printed as \"seed: N\")\n"
    "  --mark      bracket every insertion point with < and >\n"
    "  --encoding cp932|utf-8\n"
    "              the encoding of INPUT, FILE and the output (default cp932); with\n"
    "              utf-8, line breaks (LF or CR LF) are kept as they came and input\n"
    "              that is not valid UTF-8 is refused\n"
    "  --help      print this text\n"
    "  --version   print the version\n";

enum class Encoding { kCp932, kUtf8 };

struct CliOptions {
    std::string dictionary;
    std::string input;
    std::int32_t ratio = 4;
    std::optional<std::uint32_t> seed;
    bool mark = false;
    Encoding encoding = Encoding::kCp932;
};

struct ParsedArguments {
    CliOptions options;
    bool help = false;
    bool version = false;
    std::string error;  // empty when the arguments are good
};

ParsedArguments ParseArguments(const std::vector<std::string>& args);

// "quillery-convert (Quillery Mini) VERSION", the version the build was made as.
std::string VersionLine();

// Unsigned decimal digits only, no sign or blank, within [0, max].
std::optional<std::uint64_t> ParseDecimal(const std::string& text, std::uint64_t max);

}  // namespace quillery
