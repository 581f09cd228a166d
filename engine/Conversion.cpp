#include "Conversion.h"

#include <algorithm>

#include "Cp932Codec.h"

namespace quillery {

namespace {

constexpr bool IsHighSurrogate(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
constexpr bool IsLowSurrogate(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

// Characters in a run of UTF-16 units: a surrogate pair counts once.
std::int32_t CountChars(std::u16string_view run) {
    std::size_t pairs = 0;
    for (std::size_t i = 1; i < run.size(); ++i) {
        if (IsLowSurrogate(run[i]) && IsHighSurrogate(run[i - 1])) {
            ++pairs;
            ++i;
        }
    }
    return static_cast<std::int32_t>(run.size() - pairs);
}

// Converts one wide line into `out`: the lead, then each phrase with its insertion point
// in front and its tail of particle characters after it. Returns nothing; updates stats.
void ConvertWideLine(std::u16string_view line, bool isLastLine, const KeywordList& keywords,
                     const ConversionOptions& options, RandomSource& random, ConversionStats& stats,
                     std::u16string& out) {
    const std::size_t n = line.size();
    std::size_t i = 0;
    while (i < n) {
        std::size_t runEnd = i;
        while (runEnd < n && IsParticleChar(line[runEnd])) {
            ++runEnd;
        }
        out.append(line.substr(i, runEnd - i));
        stats.outputCharCount += static_cast<std::int32_t>(runEnd - i);
        i = runEnd;
        if (i == n) {
            break;
        }
        // Insertion point in front of the phrase that starts at i.
        if (options.markInsertions) {
            out.push_back(u'<');
            ++stats.outputCharCount;
        }
        if (DrawInsertion(random, options.insertRatio)) {
            const std::u16string& keyword =
                keywords[static_cast<std::size_t>(random.Next()) % keywords.size()];
            out.append(keyword);
            ++stats.insertedCount;
            stats.outputCharCount += CountChars(keyword);
        }
        ++stats.phraseCount;
        if (options.markInsertions) {
            out.push_back(u'>');
            ++stats.outputCharCount;
        }
        runEnd = i;
        while (runEnd < n && !IsParticleChar(line[runEnd])) {
            ++runEnd;
        }
        const std::u16string_view phrase = line.substr(i, runEnd - i);
        out.append(phrase);
        stats.outputCharCount += CountChars(phrase);
        i = runEnd;
    }
    if (!isLastLine) {
        out.append(u"\r\n");
        ++stats.outputCharCount;
    }
}

// The wide counterpart of ReadNextLine: a CR consumes the whole character after it.
NextLine ReadNextWideLine(std::u16string_view text, std::size_t& readPos,
                          std::u16string_view& line) {
    const std::size_t n = text.size();
    const std::size_t start = readPos;
    std::size_t p = start;
    while (p < n && text[p] != u'\r') {
        ++p;
    }
    line = text.substr(start, p - start);
    if (p < n) {
        ++p;
        if (p < n) {
            p += (IsHighSurrogate(text[p]) && p + 1 < n && IsLowSurrogate(text[p + 1])) ? 2 : 1;
        }
    }
    readPos = p;
    NextLine result;
    result.isLastLine = p >= n;
    result.found = !(result.isLastLine && line.empty());
    return result;
}

}  // namespace

NextLine ReadNextLine(std::string_view text, std::size_t& readPos) {
    const std::size_t n = text.size();
    const std::size_t start = std::min(readPos, n);
    std::size_t p = start;
    while (p < n && text[p] != '\r') {
        ++p;
    }
    NextLine result;
    result.line = text.substr(start, p - start);
    if (p < n) {
        p += 2;  // the CR and the byte after it, expected to be LF
    }
    // A CR as the last byte would leave p one past the end; the next call must still
    // find the end there.
    readPos = std::min(p, n);
    result.isLastLine = p >= n;
    result.found = !(result.isLastLine && result.line.empty());
    return result;
}

std::string ConvertLine(std::string_view line, bool isLastLine, const KeywordList& keywords,
                        const ConversionOptions& options, RandomSource& random,
                        ConversionStats& stats) {
    Cp932Codec& codec = ThreadCodec();
    std::u16string out;
    ConvertWideLine(codec.Decode(line), isLastLine, keywords, options, random, stats, out);
    return codec.Encode(out);
}

ConversionResult<std::string> ConvertText(std::string_view text, const KeywordList& keywords,
                                          const ConversionOptions& options, RandomSource& random) {
    // Code page 932 is stateless, so decoding line by line and encoding the whole output
    // once gives the same bytes as converting each character on its own.
    Cp932Codec& codec = ThreadCodec();
    ConversionStats stats;
    std::u16string wideOut;
    wideOut.reserve(text.size() + text.size() / 4);
    std::u16string wideLine;
    std::size_t readPos = 0;
    for (;;) {
        const NextLine next = ReadNextLine(text, readPos);
        if (!next.found) {
            break;
        }
        wideLine.clear();
        codec.Decode(next.line, wideLine);
        ConvertWideLine(wideLine, next.isLastLine, keywords, options, random, stats, wideOut);
        ++stats.lineCount;
    }
    ConversionResult<std::string> result;
    result.text.reserve(wideOut.size() * 2);
    codec.Encode(wideOut, result.text);
    result.stats = stats;
    return result;
}

ConversionResult<std::u16string> ConvertText(std::u16string_view text, const KeywordList& keywords,
                                             const ConversionOptions& options,
                                             RandomSource& random) {
    ConversionResult<std::u16string> result;
    result.text.reserve(text.size() + text.size() / 4);
    std::size_t readPos = 0;
    std::u16string_view line;
    for (;;) {
        const NextLine next = ReadNextWideLine(text, readPos, line);
        if (!next.found) {
            break;
        }
        ConvertWideLine(line, next.isLastLine, keywords, options, random, result.stats,
                        result.text);
        ++result.stats.lineCount;
    }
    return result;
}

}  // namespace quillery
