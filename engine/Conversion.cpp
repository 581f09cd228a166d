#include "Conversion.h"
#include "PlainConversion.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

// QUILLERY_NO_SSE2 builds the scalar paths that a processor without SSE2 takes, so that
// the engine tests can check them on any machine.
#if defined(__SSE2__) && !defined(QUILLERY_NO_SSE2)
#define QUILLERY_SSE2 1
#include <emmintrin.h>
#endif

#include "ConversionBytes.h"
#include "ConversionParts.h"
#include "Cp932Codec.h"
#include "Cp932Text.h"

namespace quillery {

namespace {

using detail::AddWrapping;
using detail::CountChars;
using WideOutput = detail::OutputBuffer<char16_t>;
using WideKeywords = detail::KeywordPool<char16_t>;

// Bit k of each mask tells about unit k of a run of at most 64.
struct UnitMasks {
    std::uint64_t particles = 0;
    std::uint64_t highSurrogates = 0;
    std::uint64_t lowSurrogates = 0;
};

// IsParticleChar without branches.
constexpr std::uint64_t ParticleBit(char16_t c) {
    const unsigned d = static_cast<unsigned>(c) - 0x3001u;                // 、 and 。 are 0 and 1
    return static_cast<std::uint64_t>((d <= 1u) | (d - 0x40u <= 0x52u) |  // ぁ..ん
                                      ((c | 2u) == 0xFF0Eu));             // ， and ．
}

#if defined(QUILLERY_SSE2)
// The tests of ParticleBit and of the surrogate kinds on sixteen units; bit k for unit k.
struct SixteenMasks {
    std::uint32_t particles;
    std::uint32_t highSurrogates;
    std::uint32_t lowSurrogates;
};

[[gnu::always_inline]] inline SixteenMasks ClassifySixteen(const char16_t* p) {
    const __m128i zero = _mm_setzero_si128();
    // ParticleBit on eight units at once. SSE2 has no unsigned 16-bit compare, so
    // "v <= limit" is written as "v minus limit, saturating at 0, equals 0".
    const auto particles = [&](__m128i x) {
        const __m128i d = _mm_sub_epi16(x, _mm_set1_epi16(0x3001));
        // d <= 1: 、 or 。
        const __m128i punctuation = _mm_cmpeq_epi16(_mm_subs_epu16(d, _mm_set1_epi16(1)), zero);
        // d - 0x40 <= 0x52: ぁ (U+3041) .. ん (U+3093)
        const __m128i hiragana = _mm_cmpeq_epi16(
            _mm_subs_epu16(_mm_sub_epi16(d, _mm_set1_epi16(0x40)), _mm_set1_epi16(0x52)), zero);
        // (x | 2) == U+FF0E: ， (U+FF0C) or ． (U+FF0E)
        const __m128i fullWidth = _mm_cmpeq_epi16(_mm_or_si128(x, _mm_set1_epi16(2)),
                                                  _mm_set1_epi16(static_cast<short>(0xFF0E)));
        return _mm_or_si128(_mm_or_si128(punctuation, hiragana), fullWidth);
    };
    const auto surrogates = [](__m128i x, unsigned short kind) {
        return _mm_cmpeq_epi16(_mm_and_si128(x, _mm_set1_epi16(static_cast<short>(0xFC00))),
                               _mm_set1_epi16(static_cast<short>(kind)));
    };
    // Packing two all-ones/all-zeros 16-bit masks to bytes and taking each byte's top
    // bit gives one bit per unit, sixteen units in order.
    const auto bits = [](__m128i a, __m128i b) {
        return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(a, b)));
    };
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8));
    return {bits(particles(a), particles(b)), bits(surrogates(a, 0xD800), surrogates(b, 0xD800)),
            bits(surrogates(a, 0xDC00), surrogates(b, 0xDC00))};
}
#endif

// Classifies p[0, count), count at most 64; the units from p - back to p are readable too.
UnitMasks Classify(const char16_t* p, std::size_t count, std::size_t back) {
    UnitMasks masks;
    std::size_t k = 0;
#if defined(QUILLERY_SSE2)
    for (; k + 16 <= count; k += 16) {
        const SixteenMasks m = ClassifySixteen(p + k);
        masks.particles |= std::uint64_t{m.particles} << k;
        masks.highSurrogates |= std::uint64_t{m.highSurrogates} << k;
        masks.lowSurrogates |= std::uint64_t{m.lowSurrogates} << k;
    }
    if (k < count && count + back >= 16) {
        // The last sixteen units again, overlapping what is done: no unit-by-unit tail.
        const std::size_t shift = 16 - (count - k);
        const SixteenMasks m = ClassifySixteen(p + count - 16);
        masks.particles |= std::uint64_t{m.particles >> shift} << k;
        masks.highSurrogates |= std::uint64_t{m.highSurrogates >> shift} << k;
        masks.lowSurrogates |= std::uint64_t{m.lowSurrogates >> shift} << k;
        k = count;
    }
#else
    (void)back;
#endif
    for (; k < count; ++k) {
        const char16_t c = p[k];
        masks.particles |= ParticleBit(c) << k;
        masks.highSurrogates |= std::uint64_t{(c & 0xFC00u) == 0xD800u} << k;
        masks.lowSurrogates |= std::uint64_t{(c & 0xFC00u) == 0xDC00u} << k;
    }
    return masks;
}

// Converts one wide line into `out`: the lead, then each phrase with its insertion point
// in front and its tail of particle characters after it. Returns nothing; updates stats.
//
// Written for speed, since it is most of a conversion's time: the line is classified 64
// units at a time into bit masks, so that finding the insertion points costs no branch
// per character; the draw's outcome is applied with masks, not branches, since it is
// unpredictable by design; the line's own characters go out in as many copies as there
// are insertion points; counters, options and the random state are kept in locals.
void ConvertWideLine(std::u16string_view line, bool isLastLine, const WideKeywords& keywords,
                     const ConversionOptions& options, RandomSource& randomSource,
                     ConversionStats& stats, WideOutput& out) {
    const char16_t* const p = line.data();
    const std::size_t n = line.size();
    const bool mark = options.markInsertions;
    const std::int32_t ratio = options.insertRatio;
    const std::size_t perInsertion = keywords.MaxSize() + (mark ? 2 : 0);
    const WideKeywords::Picker pick = keywords.MakePicker();
    RandomSource random = randomSource;
    // Unsigned, so that counts past 2^31 wrap as the 32-bit counters do, without
    // undefined behaviour.
    std::uint32_t phrases = 0;
    std::uint32_t inserted = 0;
    std::uint32_t keywordChars = 0;
    std::size_t pairs = 0;  // surrogate pairs in the line, each one character

    char16_t* dst = out.Room(n + 2);
    std::size_t copied = 0;           // line[0, copied) is out
    std::uint64_t afterParticle = 1;  // the line's start counts as a particle
    std::uint64_t afterHigh = 0;
    for (std::size_t base = 0; base < n; base += 64) {
        const std::size_t count = std::min<std::size_t>(64, n - base);
        const UnitMasks masks = Classify(p + base, count, base);
        const std::uint64_t inRun =
            count == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
        // A phrase starts at a phrase character after a particle or the line's start.
        std::uint64_t starts = ~masks.particles & inRun & ((masks.particles << 1) | afterParticle);
        // A pair is a low surrogate right after a high one; neither is a particle, so
        // the two always lie in one phrase. (Without a popcount instruction, popcount is
        // a call: skipped in the usual case of no surrogate.)
        if (masks.lowSurrogates != 0) {
            pairs += static_cast<std::size_t>(
                std::popcount(masks.lowSurrogates & ((masks.highSurrogates << 1) | afterHigh)));
        }
        afterParticle = (masks.particles >> (count - 1)) & 1;
        afterHigh = (masks.highSurrogates >> (count - 1)) & 1;
        if (starts == 0) {
            continue;
        }
        // Room for the rest of the line, its line break and every insertion here: at
        // most one phrase starts in every two units.
        out.Commit(dst);
        dst = out.Room(n - copied + 2 + (count + 1) / 2 * perInsertion);
        for (; starts != 0; starts &= starts - 1) {
            // Insertion point in front of the phrase that starts at i.
            const std::size_t i = base + static_cast<std::size_t>(std::countr_zero(starts));
            dst = detail::PutRun(dst, p + copied, i - copied, n - copied);
            copied = i;
            dst = detail::PutInsertion(dst, mark, ratio, pick, random, inserted, keywordChars);
            ++phrases;
        }
    }
    out.Commit(detail::PutLineEnd(dst, p + copied, n - copied, isLastLine));

    randomSource = random;
    detail::AddLineCounts(stats, static_cast<std::uint32_t>(n - pairs), phrases, inserted,
                          keywordChars, mark, isLastLine);
}

// The first CR at or after `from`, or n.
std::size_t FindCr(const char16_t* p, std::size_t from, std::size_t n) {
    std::size_t i = from;
#if defined(QUILLERY_SSE2)
    const __m128i cr = _mm_set1_epi16(u'\r');
    for (; i + 8 <= n; i += 8) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(x, cr));
        if (mask != 0) {
            return i + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(mask))) / 2;
        }
    }
#endif
    while (i < n && p[i] != u'\r') {
        ++i;
    }
    return i;
}

// The wide counterpart of ReadNextLine: a CR consumes the whole character after it.
NextLine ReadNextWideLine(std::u16string_view text, std::size_t& readPos,
                          std::u16string_view& line) {
    const std::size_t n = text.size();
    const std::size_t start = readPos;
    std::size_t p = FindCr(text.data(), start, n);
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

// Whether every CR of `bytes` is followed by LF or is its last byte.
bool EveryCrEndsALine(std::string_view bytes) {
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (
        (p = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(end - p))))) {
        if (p + 1 < end && p[1] != '\n') {
            return false;
        }
        ++p;
    }
    return true;
}

using OutputSink = std::function<void(std::string_view)>;

// Hands the output gathered so far to `write`, if there is one, once it holds more than
// `atLeast` bytes.
void Flush(std::string& output, const OutputSink* write, std::size_t atLeast) {
    if (write != nullptr && output.size() > atLeast) {
        (*write)(output);
        output.clear();
    }
}

// Longer text is converted in pieces of about this many bytes, each ending with a line
// break, so that a decoded piece and its output stay in the cache.
constexpr std::size_t kPieceBytes = 32 * 1024;
// Output handed on line by line is gathered up to about this many bytes first.
constexpr std::size_t kFlushBytes = 64 * 1024;

// ConvertText for the pieces of the text whose every CR is followed by LF (or ends the
// text): a CR never joins a character, so a piece that ends with CR LF decodes exactly
// as its lines do one by one, and the wide line walk of the piece finds the same lines
// as ReadNextLine. Returns where it stopped: the end of the text, or the start of the
// first piece with a CR before another byte, from where the text goes line by line.
std::size_t ConvertWholeLines(std::string_view text, const WideKeywords& keywords,
                              const ConversionOptions& options, RandomSource& random,
                              ConversionResult<std::string>& result, const OutputSink* write) {
    Cp932Codec& codec = ThreadCodec();
    std::u16string wide;
    std::u16string wideText;
    WideOutput wideOut(wideText);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.size();
        if (text.size() - start > kPieceBytes) {
            const void* cr = std::memchr(text.data() + start + kPieceBytes, '\r',
                                         text.size() - start - kPieceBytes);
            if (cr != nullptr) {
                end = std::min(
                    text.size(),
                    static_cast<std::size_t>(static_cast<const char*>(cr) - text.data()) + 2);
            }
        }
        const bool lastPiece = end == text.size();
        if (!EveryCrEndsALine(text.substr(start, end - start))) {
            return start;
        }
        wide.clear();
        codec.Decode(text.substr(start, end - start), wide);
        wideOut.Clear();
        std::size_t pos = 0;
        while (pos < wide.size()) {
            const std::size_t cr = FindCr(wide.data(), pos, wide.size());
            const std::u16string_view line(wide.data() + pos, cr - pos);
            pos = std::min(cr + 2, wide.size());
            const bool isLastLine = lastPiece && pos >= wide.size();
            if (isLastLine && line.empty()) {
                break;
            }
            ConvertWideLine(line, isLastLine, keywords, options, random, result.stats, wideOut);
            AddWrapping(result.stats.lineCount, 1);
        }
        codec.Encode(wideOut.View(), result.text);
        Flush(result.text, write, 0);
        start = end;
    }
    return start;
}

}  // namespace

NextLine ReadNextLine(std::string_view text, std::size_t& readPos) {
    const std::size_t n = text.size();
    const std::size_t start = std::min(readPos, n);
    // An empty view may have no data at all, which memchr must not be given.
    const void* cr = start < n ? std::memchr(text.data() + start, '\r', n - start) : nullptr;
    std::size_t p = cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - text.data()) : n;
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

namespace {

ConversionResult<std::string> ConvertThroughUtf16(std::string_view text,
                                                  const KeywordList& keywords,
                                                  const ConversionOptions& options,
                                                  RandomSource& random, const OutputSink* write) {
    ConversionResult<std::string> result;
    result.text.reserve(write != nullptr ? kFlushBytes + kPieceBytes * 4
                                         : text.size() + text.size() / 2);
    const WideKeywords pool(keywords, [](const std::u16string& k) { return k; });
    std::size_t readPos = ConvertWholeLines(text, pool, options, random, result, write);
    // The rest, from the start of a line: code page 932 is stateless, so converting line
    // by line gives the same bytes as converting each character on its own.
    Cp932Codec& codec = ThreadCodec();
    std::u16string wideLine;
    std::u16string wideText;
    WideOutput wideOut(wideText);
    for (;;) {
        const NextLine next = ReadNextLine(text, readPos);
        if (!next.found) {
            break;
        }
        wideLine.clear();
        codec.Decode(next.line, wideLine);
        wideOut.Clear();
        ConvertWideLine(wideLine, next.isLastLine, pool, options, random, result.stats, wideOut);
        codec.Encode(wideOut.View(), result.text);
        Flush(result.text, write, kFlushBytes);
        AddWrapping(result.stats.lineCount, 1);
    }
    Flush(result.text, write, 0);
    return result;
}

// The code page 932 conversion: each line straight from its bytes where that gives the
// same bytes, counters and draws as the conversion through UTF-16, else that conversion
// for the line. Code page 932 is stateless, so a line converts alike on its own and
// within the text, and a text converts alike whole or a run of whole lines at a time.
class NarrowConverter {
  public:
    // The output goes to `output`, and from there to `write` when there is one.
    NarrowConverter(const KeywordList& keywords, const ConversionOptions& options,
                    RandomSource& random, std::string& output, const OutputSink* write)
        : keywords_(keywords),
          options_(options),
          random_(random),
          write_(write),
          out_(output),
          byteWalk_(detail::ByteWalkTakesKeywords(keywords)),
          bytePool_(detail::EncodeKeywords(keywords)) {}

    // Converts the lines at the start of `text` known to be whole, all of them when the
    // text ends there; returns the bytes used.
    std::size_t Convert(std::string_view text, bool textEnds) {
        std::size_t readPos = 0;
        for (;;) {
            if (byteWalk_) {
                const detail::ByteLine line = detail::ConvertByteLine(
                    text, readPos, textEnds, bytePool_, options_, random_, stats_, out_);
                if (line.outcome == detail::ByteLine::kNone) {
                    break;
                }
                if (line.outcome == detail::ByteLine::kConverted) {
                    readPos = line.next;
                    LineDone();
                    continue;
                }
            }
            std::size_t next = readPos;
            const NextLine line = ReadNextLine(text, next);
            if (!line.found || (line.isLastLine && !textEnds)) {
                break;
            }
            ConvertThroughUtf16(line.line, line.isLastLine);
            readPos = next;
            LineDone();
        }
        return textEnds ? text.size() : readPos;
    }

    // Hands what is left to `write`; returns the counters.
    ConversionStats Finish() {
        if (write_ != nullptr && out_.Size() > 0) {
            (*write_)(out_.View());
            out_.Clear();
        }
        out_.Finish();
        return stats_;
    }

  private:
    void LineDone() {
        AddWrapping(stats_.lineCount, 1);
        if (write_ != nullptr && out_.Size() > kFlushBytes) {
            (*write_)(out_.View());
            out_.Clear();
        }
    }

    void ConvertThroughUtf16(std::string_view line, bool isLastLine) {
        if (!widePool_) {
            widePool_.emplace(keywords_, [](const std::u16string& k) { return k; });
        }
        Cp932Codec& codec = ThreadCodec();
        wideLine_.clear();
        codec.Decode(line, wideLine_);
        WideOutput wideOut(wideText_);
        wideOut.Clear();
        ConvertWideLine(wideLine_, isLastLine, *widePool_, options_, random_, stats_, wideOut);
        encoded_.clear();
        codec.Encode(wideOut.View(), encoded_);
        char* dst = out_.Room(encoded_.size());
        std::memcpy(dst, encoded_.data(), encoded_.size());
        out_.Commit(dst + encoded_.size());
    }

    const KeywordList& keywords_;
    const ConversionOptions options_;
    RandomSource& random_;
    const OutputSink* write_;
    detail::ByteOutput out_;
    ConversionStats stats_;
    const bool byteWalk_;
    const detail::ByteKeywords bytePool_;
    std::optional<WideKeywords> widePool_;  // made when the first line needs it
    std::u16string wideLine_;
    std::u16string wideText_;
    std::string encoded_;
};

ConversionResult<std::string> ConvertNarrowText(std::string_view text, const KeywordList& keywords,
                                                const ConversionOptions& options,
                                                RandomSource& random, const OutputSink* write) {
    ConversionResult<std::string> result;
    result.text.reserve(write != nullptr ? kFlushBytes + kPieceBytes * 4
                                         : text.size() + text.size() / 2);
    NarrowConverter converter(keywords, options, random, result.text, write);
    converter.Convert(text, true);
    result.stats = converter.Finish();
    if (write != nullptr) {
        result.text.clear();
    }
    return result;
}

}  // namespace

ConversionResult<std::string> ConvertText(std::string_view text, const KeywordList& keywords,
                                          const ConversionOptions& options, RandomSource& random) {
    return ConvertNarrowText(text, keywords, options, random, nullptr);
}

ConversionStats ConvertText(std::string_view text, const KeywordList& keywords,
                            const ConversionOptions& options, RandomSource& random,
                            const OutputSink& write) {
    return ConvertNarrowText(text, keywords, options, random, &write).stats;
}

ConversionResult<std::u16string> ConvertText(std::u16string_view text, const KeywordList& keywords,
                                             const ConversionOptions& options, RandomSource& random,
                                             const std::atomic<bool>* stop) {
    ConversionResult<std::u16string> result;
    result.text.reserve(text.size() + text.size() / 2);
    WideOutput out(result.text);
    const WideKeywords pool(keywords, [](const std::u16string& k) { return k; });
    std::size_t readPos = 0;
    std::u16string_view line;
    for (;;) {
        const NextLine next = ReadNextWideLine(text, readPos, line);
        if (!next.found) {
            break;
        }
        ConvertWideLine(line, next.isLastLine, pool, options, random, result.stats, out);
        AddWrapping(result.stats.lineCount, 1);
        if (stop != nullptr && stop->load(std::memory_order_relaxed)) {
            result.stopped = true;
            break;
        }
    }
    out.Finish();
    return result;
}

struct PieceConversion::State {
    State(const KeywordList& keywords, const ConversionOptions& options, RandomSource& random,
          std::function<void(std::string_view)> write)
        : write(std::move(write)), converter(keywords, options, random, output, &this->write) {
        output.reserve(kFlushBytes + kPieceBytes * 4);
    }

    std::function<void(std::string_view)> write;
    std::string output;
    NarrowConverter converter;
};

PieceConversion::PieceConversion(const KeywordList& keywords, const ConversionOptions& options,
                                 RandomSource& random, std::function<void(std::string_view)> write)
    : state_(std::make_unique<State>(keywords, options, random, std::move(write))) {}

PieceConversion::~PieceConversion() = default;

std::size_t PieceConversion::Convert(std::string_view bytes, bool textEnds) {
    return state_->converter.Convert(bytes, textEnds);
}

ConversionStats PieceConversion::Finish() {
    return state_->converter.Finish();
}

ConversionResult<std::string> ConvertTextThroughUtf16(std::string_view text,
                                                      const KeywordList& keywords,
                                                      const ConversionOptions& options,
                                                      RandomSource& random) {
    return ConvertThroughUtf16(text, keywords, options, random, nullptr);
}

ConversionResult<std::u16string> ConvertTextPlainly(std::u16string_view text,
                                                    const KeywordList& keywords,
                                                    const ConversionOptions& options,
                                                    RandomSource& random) {
    ConversionResult<std::u16string> result;
    std::uint32_t lines = 0;
    std::uint32_t phrases = 0;
    std::uint32_t inserted = 0;
    std::uint32_t chars = 0;
    const std::size_t n = text.size();
    std::size_t start = 0;
    for (;;) {
        // A line ends at a CR, which takes the whole character after it along.
        const std::size_t cr = std::min(text.find(u'\r', start), n);
        const std::u16string_view line = text.substr(start, cr - start);
        std::size_t next = cr;
        if (next < n && ++next < n) {
            next += IsHighSurrogate(text[next]) && next + 1 < n && IsLowSurrogate(text[next + 1])
                        ? 2
                        : 1;
        }
        const bool isLastLine = next >= n;
        if (isLastLine && line.empty()) {
            break;
        }
        // An insertion point stands before every phrase character that follows a particle
        // or starts the line.
        bool afterParticle = true;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const char16_t c = line[i];
            if (afterParticle && !IsParticleChar(c)) {
                ++phrases;
                if (options.markInsertions) {
                    result.text += u'<';
                    chars += 1;
                }
                if (DrawInsertion(random, options.insertRatio)) {
                    const std::u16string& keyword =
                        keywords[static_cast<std::size_t>(random.Next()) % keywords.size()];
                    result.text += keyword;
                    chars += static_cast<std::uint32_t>(CountChars(keyword));
                    ++inserted;
                }
                if (options.markInsertions) {
                    result.text += u'>';
                    chars += 1;
                }
            }
            result.text += c;
            // The second half of a surrogate pair is no character of its own.
            chars += i > 0 && IsLowSurrogate(c) && IsHighSurrogate(line[i - 1]) ? 0 : 1;
            afterParticle = IsParticleChar(c);
        }
        ++lines;
        if (isLastLine) {
            break;
        }
        result.text += u"\r\n";
        chars += 1;
        start = next;
    }
    result.stats = {static_cast<std::int32_t>(lines), static_cast<std::int32_t>(phrases),
                    static_cast<std::int32_t>(inserted), static_cast<std::int32_t>(chars)};
    return result;
}

}  // namespace quillery
