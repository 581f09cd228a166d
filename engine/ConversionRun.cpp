#include "ConversionRun.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>

namespace quillery {

namespace {

void AppendAscii(std::u16string& out, std::string_view ascii) {
    out.append(ascii.begin(), ascii.end());
}

template <typename Number>
void AppendNumber(std::u16string& out, Number value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    AppendAscii(out, std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

// "%3.1f" as the Microsoft runtime prints it: the value is first written with 17
// significant digits, and that decimal text is rounded half up to one decimal. So a rate
// of exactly 6.25 shows as 6.3 (a correctly rounding printf gives 6.2). Never narrower
// than three characters.
void AppendRate(std::u16string& out, double rate) {
    char digits[64];
    const auto written = std::to_chars(digits, digits + sizeof digits, std::fabs(rate),
                                       std::chars_format::scientific, 16);
    // d.dddddddddddddddde±XX: the mantissa as a 17-digit integer, value = m * 10^(e - 16).
    std::uint64_t mantissa = 0;
    const char* p = digits;
    for (; *p != 'e'; ++p) {
        if (*p != '.') {
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
        }
    }
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+'), written.ptr, exponent);
    // Tenths, rounded half up: m * 10^(e - 15).
    std::uint64_t tenths = mantissa;
    for (int shift = exponent - 15; shift > 0; --shift) {
        tenths *= 10;
    }
    if (exponent - 15 < 0) {
        const int drop = 15 - exponent;
        if (drop > 19) {
            tenths = 0;
        } else {
            std::uint64_t divisor = 1;
            for (int k = 0; k < drop; ++k) {
                divisor *= 10;
            }
            tenths = mantissa / divisor + (mantissa % divisor >= (divisor + 1) / 2 ? 1 : 0);
        }
    }
    std::string text = (rate < 0 && tenths != 0) ? "-" : "";
    text += std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
    for (std::size_t width = text.size(); width < 3; ++width) {
        out.push_back(u' ');
    }
    AppendAscii(out, text);
}

}  // namespace

std::u16string FormatStatistics(const ConversionStats& stats, std::size_t keywordCount) {
    std::u16string out;
    if (stats.phraseCount == 0) {
        out += u"変換終了：[挿入文節0 / 総文節0 = 挿入率0.0%] [解析行";
    } else {
        out += u"変換終了： [挿入文節";
        AppendNumber(out, stats.insertedCount);
        out += u" / 総文節";
        AppendNumber(out, stats.phraseCount);
        out += u" = 挿入率";
        AppendRate(out, static_cast<double>(stats.insertedCount) / stats.phraseCount * 100.0);
        out += u"%] [解析行";
    }
    AppendNumber(out, stats.lineCount);
    out += u"] [辞書の単語";
    AppendNumber(out, keywordCount);
    out += u"個] [出力";
    AppendNumber(out, stats.outputCharCount);
    out += u"文字]";
    return out;
}

std::int32_t ClockSeed() {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(std::time(nullptr)));
}

std::optional<PreparedRun> PrepareRun(const RunRequest& request, RunHost& host,
                                      const std::function<std::int32_t()>& clock) {
    PreparedRun run;
    run.options.insertRatio = request.insertRatio;
    if (request.dictionaryPathEmpty) {
        host.ShowMessage(kNoDictionaryMessage);
        return std::nullopt;
    }
    std::FILE* file =
        request.dictionaryFile ? OpenDictionaryFile(*request.dictionaryFile) : nullptr;
    if (file == nullptr) {
        host.ShowMessage(kCannotOpenDictionaryMessage);
        return std::nullopt;
    }
    host.SetBusy(true);
    host.PostStatus(std::u16string(kBusyStatus));
    std::optional<KeywordList> keywords =
        request.utf8Dictionary ? ReadUtf8Keywords(file) : ReadKeywords(file);
    std::fclose(file);
    if (!keywords) {
        host.DictionaryNotUtf8(*request.dictionaryFile);
        host.SetBusy(false);
        return std::nullopt;
    }
    run.keywords = *std::move(keywords);
    if (run.keywords.empty()) {
        host.ShowMessage(kEmptyDictionaryMessage);
        host.SetBusy(false);
        return std::nullopt;
    }
    if (request.debugRun == 1 && request.useFixedSeed == 1) {
        run.random.Seed(request.randomSeed);
    } else {
        const std::int32_t seed = clock();
        host.RecordNewestSeed(seed);
        run.random.Seed(static_cast<std::uint32_t>(seed));
    }
    run.options.markInsertions = request.debugRun == 1 && request.insertMark == 1;
    return run;
}

void FinishRun(PreparedRun run, std::u16string_view input, RunHost& host,
               const std::atomic<bool>* stop) {
    auto result = ConvertText(input, run.keywords, run.options, run.random, stop);
    if (result.stopped) {
        return;
    }
    host.SetOutput(std::move(result.text));
    const std::size_t keywordCount = run.keywords.size();
    run.keywords = KeywordList();
    EndRun(result.stats, keywordCount, host);
}

void EndRun(const ConversionStats& stats, std::size_t keywordCount, RunHost& host) {
    host.PostStatus(FormatStatistics(stats, keywordCount));
    host.SetBusy(false);
}

}  // namespace quillery
