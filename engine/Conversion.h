#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "KeywordList.h"
#include "RandomSource.h"

namespace quillery {

struct ConversionOptions {
    std::int32_t insertRatio = 0;  // insertion probability in tenths, 0..10
    bool markInsertions = false;   // bracket every insertion point with "<" ">"
};

struct ConversionStats {
    std::int32_t lineCount = 0;
    std::int32_t phraseCount = 0;
    std::int32_t insertedCount = 0;
    std::int32_t outputCharCount = 0;  // a CR LF between lines counts as one

    bool operator==(const ConversionStats&) const = default;
};

template <typename Text>
struct ConversionResult {
    Text text;
    ConversionStats stats;
    bool stopped = false;  // asked to stop part-way: text and stats are incomplete
};

// 、。，． and the hiragana ぁ..ん never belong to a phrase.
constexpr bool IsParticleChar(char16_t c) {
    return c == u'、' || c == u'。' || c == u'，' || c == u'．' || (c >= 0x3041 && c <= 0x3093);
}

// Consumes exactly one random value.
inline bool DrawInsertion(RandomSource& random, std::int32_t insertRatio) {
    return random.Next() % 10 < insertRatio;
}

struct NextLine {
    bool found = false;
    std::string_view line;  // without its line break
    bool isLastLine = false;
};

// Cuts the next line off a code page 932 text at `readPos`. A CR ends a line and the
// byte after it is consumed with it, whatever that byte is.
NextLine ReadNextLine(std::string_view text, std::size_t& readPos);

// Code page 932 text with CR LF between lines. Bytes that are not code page 932 pass
// through unchanged. `keywords` must not be empty.
ConversionResult<std::string> ConvertText(std::string_view text, const KeywordList& keywords,
                                          const ConversionOptions& options, RandomSource& random);

// The same conversion, its output handed to `write` piece by piece, in order, instead of
// kept: a long text needs no second copy in memory. Returns the statistics.
ConversionStats ConvertText(std::string_view text, const KeywordList& keywords,
                            const ConversionOptions& options, RandomSource& random,
                            const std::function<void(std::string_view)>& write);

// ConvertText for a code page 932 text that arrives in pieces, such as a file read a piece
// at a time: the same output, counters and draws as ConvertText on the whole text, handed
// to `write` as it is made, so that neither the text nor its output is ever held whole.
// The keywords, options and random source must outlive it.
class PieceConversion {
  public:
    PieceConversion(const KeywordList& keywords, const ConversionOptions& options,
                    RandomSource& random, std::function<void(std::string_view)> write);
    ~PieceConversion();
    PieceConversion(const PieceConversion&) = delete;
    PieceConversion& operator=(const PieceConversion&) = delete;

    // Converts the lines at the start of `bytes` that are known to be whole (a line is
    // whole once a byte follows its line break) and returns the bytes it used: the rest
    // must come again, at the start of the next call's bytes. With `textEnds`, `bytes` is
    // all that is left of the text, and all of it is used.
    std::size_t Convert(std::string_view bytes, bool textEnds);
    // Hands on the output still held, once the text has ended or no more of it can be
    // read; returns the statistics.
    ConversionStats Finish();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// UTF-16 text with CR LF between lines; characters that code page 932 cannot hold pass
// through unchanged. A surrogate pair is one character: never split, counted once. A CR
// consumes the character after it (both units of a pair), where the narrow ConvertText
// consumes one byte; apart from a CR that is not followed by LF (which a pane never
// holds), the result for text that code page 932 holds equals the narrow one's, decoded. When
// `stop` is given and becomes true, the conversion ends after the line at hand.
ConversionResult<std::u16string> ConvertText(std::u16string_view text, const KeywordList& keywords,
                                             const ConversionOptions& options, RandomSource& random,
                                             const std::atomic<bool>* stop = nullptr);

}  // namespace quillery
