// quillery-convert: converts a text with a dictionary from the command line.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "cli/Arguments.h"
#include "cli/Platform.h"
#include "cli/Utf8Text.h"
#include "engine/Conversion.h"
#include "engine/ConversionRun.h"
#include "engine/Cp932Codec.h"
#include "engine/Utf8.h"

namespace {

using namespace quillery;

void PrintError(std::u16string_view message) {
    std::cerr << Utf16ToUtf8(message).value_or("?") << '\n';
}

// A run's messages and statistics go to standard error as UTF-8 lines. A terminal shows no
// busy state, and the output is written by main, in the encoding it was read in. The seed
// a run draws is kept until the input has been read, to be told only by a run that goes
// on to convert.
class StderrRunHost : public RunHost {
  public:
    explicit StderrRunHost(std::string dictionary) : dictionary_(std::move(dictionary)) {}

    // A run's messages are about the dictionary: they name it, as the other errors
    // name their file.
    void ShowMessage(std::u16string_view text) override {
        std::cerr << "quillery-convert: " << dictionary_ << ": ";
        PrintError(text);
    }
    void SetBusy(bool) override {}
    void PostStatus(std::u16string text) override {
        if (text != kBusyStatus) {
            PrintError(text);
        }
    }
    void RecordNewestSeed(std::int32_t seed) override { drawnSeed_ = seed; }
    void SetOutput(std::u16string) override {}
    void DictionaryNotUtf8(const std::string& file) override {
        std::cerr << "quillery-convert: " << file << " is not valid UTF-8\n";
    }

    // Printed as --seed takes it, also once the clock has passed 2^31 seconds.
    void TellDrawnSeed() const {
        if (drawnSeed_) {
            std::cerr << "seed: " << static_cast<std::uint32_t>(*drawnSeed_) << '\n';
        }
    }

  private:
    std::string dictionary_;
    std::optional<std::int32_t> drawnSeed_;
};

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
    const bool utf8 = options.encoding == Encoding::kUtf8;
    // Without the system's code page 932 converter every character would come out as "?";
    // UTF-8 runs do not use it.
    if (!utf8 && !ThreadCodec().IsOpen()) {
        std::cerr << "quillery-convert: this system has no code page 932 converter\n";
        return 1;
    }

    RunRequest request;
    request.dictionaryPathEmpty = false;
    request.dictionaryFile = options.dictionary;
    request.insertRatio = options.ratio;
    request.debugRun = 1;
    request.useFixedSeed = options.seed ? 1 : 0;
    request.randomSeed = options.seed.value_or(0);
    request.insertMark = options.mark ? 1 : 0;
    request.utf8Dictionary = utf8;
    StderrRunHost host(options.dictionary);
    std::optional<PreparedRun> run = PrepareRun(request, host);
    if (!run) {
        return 1;
    }

    std::string input;
    std::FILE* in = options.input.empty() ? stdin : OpenInputFile(options.input);
    const bool read = in != nullptr && ReadAll(in, input);
    if (in != nullptr && in != stdin) {
        std::fclose(in);
    }
    const std::string inputName = options.input.empty() ? "standard input" : options.input;
    if (!read) {
        std::cerr << "quillery-convert: cannot read " << inputName << '\n';
        return 1;
    }

    Utf8Conversion converted =
        utf8 ? ConvertUtf8Text(input, run->keywords, run->options, run->random)
             : Utf8Conversion(ConvertText(input, run->keywords, run->options, run->random));
    if (const Utf8Fault* fault = std::get_if<Utf8Fault>(&converted)) {
        // Each side is named only for its own fault: valid input stays valid.
        if (*fault == Utf8Fault::kInputNotUtf8) {
            std::cerr << "quillery-convert: " << inputName << " is not valid UTF-8\n";
        } else {
            std::cerr << "quillery-convert: a keyword of " << options.dictionary
                      << " cannot be written as UTF-8\n";
        }
        return 1;
    }
    const auto* result = std::get_if<ConversionResult<std::string>>(&converted);
    host.TellDrawnSeed();
    std::fwrite(result->text.data(), 1, result->text.size(), stdout);
    if (std::fflush(stdout) != 0) {
        std::cerr << "quillery-convert: cannot write the output\n";
        return 1;
    }
    EndRun(result->stats, run->keywords.size(), host);
    return 0;
}
