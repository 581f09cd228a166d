#include "StatisticsMessage.h"

#include <charconv>
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

// "%3.1f": correctly rounded to one decimal; never narrower than three characters.
void AppendRate(std::u16string& out, double rate) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, rate, std::chars_format::fixed, 1);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
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

}  // namespace quillery
