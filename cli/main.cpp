// quillery-convert: converts a text with a dictionary from the command line.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "cli/Arguments.h"
#include "cli/PieceInput.h"
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

// The input's bytes, in a buffer that is never filled with zeros first: for a large
// file that would cost about as much as reading it.
class InputBytes {
  public:
    // A named file's size is known: it is read in one piece, without growing the buffer
    // (and copying what it holds) again and again. Standard input, or a file that grew,
    // goes on in pieces.
    bool ReadAll(std::FILE* in, bool namedFile) {
        if (namedFile && std::fseek(in, 0, SEEK_END) == 0) {
            const long size = std::ftell(in);
            if (size > 0) {
                Grow(static_cast<std::size_t>(size) + 1);  // + 1: the end is seen at once
            }
            std::fseek(in, 0, SEEK_SET);
        }
        std::clearerr(in);
        for (;;) {
            if (size_ == capacity_) {
                Grow(std::max<std::size_t>(capacity_ * 2, 65536));
            }
            const std::size_t n = std::fread(data_.get() + size_, 1, capacity_ - size_, in);
            if (n == 0) {
                break;
            }
            size_ += n;
        }
        return !std::ferror(in);
    }

    std::string_view View() const { return {data_.get(), size_}; }

  private:
    void Grow(std::size_t capacity) {
        std::unique_ptr<char[]> data(new char[capacity]);
        if (size_ > 0) {
            std::memcpy(data.get(), data_.get(), size_);
        }
        data_ = std::move(data);
        capacity_ = capacity;
    }

    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

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

    std::FILE* in = options.input.empty() ? stdin : OpenInputFile(options.input);
    const std::string inputName = options.input.empty() ? "standard input" : options.input;
    // Closes a named input file however main returns.
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(
        in != nullptr && in != stdin ? in : nullptr, &std::fclose);
    const auto cannotRead = [&] {
        std::cerr << "quillery-convert: cannot read " << inputName << '\n';
        return 1;
    };
    if (in == nullptr) {
        return cannotRead();
    }

    ConversionStats stats;
    if (utf8) {
        InputBytes inputBytes;
        if (!inputBytes.ReadAll(in, in != stdin)) {
            return cannotRead();
        }
        Utf8Conversion converted =
            ConvertUtf8Text(inputBytes.View(), run->keywords, run->options, run->random);
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
        const auto& result = std::get<ConversionResult<std::string>>(converted);
        host.TellDrawnSeed();
        std::fwrite(result.text.data(), 1, result.text.size(), stdout);
        stats = result.stats;
    } else {
        // Code page 932 output goes out as it is made, so it is never held whole. An input
        // that cannot be read at all is told before anything else.
        const std::optional<ConversionStats> converted = ConvertInPieces(
            in, run->keywords, run->options, run->random,
            [](std::string_view piece) { std::fwrite(piece.data(), 1, piece.size(), stdout); },
            [&] { host.TellDrawnSeed(); });
        if (!converted) {
            return cannotRead();
        }
        stats = *converted;
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::cerr << "quillery-convert: cannot write the output\n";
        return 1;
    }
    EndRun(stats, run->keywords.size(), host);
    return 0;
}
