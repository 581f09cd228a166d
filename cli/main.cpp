// quillery-convert: converts a text with a dictionary from the command line.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "cli/Arguments.h"
#include "cli/Platform.h"
#include "cli/Utf8Text.h"
#include "engine/Conversion.h"
#include "engine/ConversionRun.h"
#include "engine/StatisticsMessage.h"
#include "engine/Utf8.h"

namespace {

using namespace quillery;

void PrintError(std::u16string_view message) {
    std::cerr << Utf16ToUtf8(message).value_or("?") << '\n';
}

bool ReadAll(std::FILE* in, std::string& text) {
    char chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) {
        text.append(chunk, n);
    }
    return !std::ferror(in);
}

}  // namespace

int main(int argc, char** argv) {
    UseBinaryStandardStreams();
    const auto args = CommandLineArguments(argc, argv);
    if (!args) {
        std::cerr << "quillery-convert: an argument is not valid Unicode\n" << kUsage;
        return 2;
    }
    const ParsedArguments parsed = ParseArguments(*args);
    if (parsed.help) {
        std::cout << kUsage;
        return 0;
    }
    if (parsed.version) {
        std::cout << VersionLine() << '\n';
        return 0;
    }
    if (!parsed.error.empty()) {
        std::cerr << "quillery-convert: " << parsed.error << '\n' << kUsage;
        return 2;
    }
    const CliOptions& options = parsed.options;

    std::FILE* dictionary = OpenDictionaryFile(options.dictionary);
    if (dictionary == nullptr) {
        PrintError(kCannotOpenDictionaryMessage);
        return 1;
    }
    const bool utf8 = options.encoding == Encoding::kUtf8;
    const std::optional<KeywordList> dictionaryKeywords =
        utf8 ? ReadUtf8Keywords(dictionary) : ReadKeywords(dictionary);
    std::fclose(dictionary);
    if (!dictionaryKeywords) {
        std::cerr << "quillery-convert: " << options.dictionary << " is not valid UTF-8\n";
        return 1;
    }
    const KeywordList& keywords = *dictionaryKeywords;
    if (keywords.empty()) {
        PrintError(kEmptyDictionaryMessage);
        return 1;
    }

    std::string input;
    std::FILE* in = options.input.empty() ? stdin : OpenInputFile(options.input);
    const bool read = in != nullptr && ReadAll(in, input);
    if (in != nullptr && in != stdin) {
        std::fclose(in);
    }
    if (!read) {
        std::cerr << "quillery-convert: cannot read "
                  << (options.input.empty() ? "standard input" : options.input) << '\n';
        return 1;
    }

    RandomSource random;
    if (options.seed) {
        random.Seed(*options.seed);
    } else {
        // Printed as --seed takes it, also once the clock has passed 2^31 seconds.
        const auto seed = static_cast<std::uint32_t>(ClockSeed());
        std::cerr << "seed: " << seed << '\n';
        random.Seed(seed);
    }
    ConversionOptions conversion;
    conversion.insertRatio = options.ratio;
    conversion.markInsertions = options.mark;
    const auto result = utf8 ? ConvertUtf8Text(input, keywords, conversion, random)
                             : ConvertText(input, keywords, conversion, random);
    if (!result) {
        std::cerr << "quillery-convert: "
                  << (options.input.empty() ? "standard input" : options.input)
                  << " is not valid UTF-8\n";
        return 1;
    }
    std::fwrite(result->text.data(), 1, result->text.size(), stdout);
    if (std::fflush(stdout) != 0) {
        std::cerr << "quillery-convert: cannot write the output\n";
        return 1;
    }
    PrintError(FormatStatistics(result->stats, keywords.size()));
    return 0;
}
