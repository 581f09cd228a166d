// ReadKeywords on an arbitrary dictionary, then ConvertText (narrow and UTF-16) and the
// converter's UTF-8 mode with the keywords read and an arbitrary text, ratio, seed and marks.
// Input: the ratio (mod 11), the marks (bit 0), the seed (4 bytes), the dictionary's length
// n (2 bytes, little endian), n bytes of dictionary, the text.
//
// Each property is checked against a model written here:
//  - the list, from either reader: at most 1000 keywords of at most 132 units, without LF
//    or NUL, cut from the file's text-mode view where the piece rule cuts (a line feed, the
//    132nd unit, or the 131st when a pair follows; never inside a pair), the UTF-8 reader's
//    keywords always whole Unicode;
//  - the lines are those the line rule cuts; the counters count characters (a pair or a
//    CR LF break once); ratio 0 inserts nothing, ratio 10 at every phrase;
//  - taking every "<...>" out of the marked output gives the text, one pair per phrase,
//    each holding nothing or a keyword; the unmarked output is the marked one without
//    markers, counting two characters fewer per phrase; the narrow output is the UTF-16 one
//    encoded, the same counters, decoding to as many characters (no keyword byte joins the text
//    after it);
//  - the UTF-8 mode refuses exactly the text that is not UTF-8, blames nothing else, and
//    gives the text back byte for byte once the insertions are out.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "FuzzCheck.h"
#include "cli/Utf8Text.h"
#include "engine/Conversion.h"
#include "engine/Cp932Codec.h"
#include "engine/KeywordList.h"
#include "engine/Utf8.h"

namespace {

using namespace quillery;

// "<" and ">" as "*", so that markers stand out.
template <typename Text>
Text Unmarked(Text text) {
    std::ranges::replace(text, '<', '*');
    std::ranges::replace(text, '>', '*');
    return text;
}

template <typename Read>
auto ReadFrom(std::string_view bytes, Read read) {
    std::string copy(bytes);  // fmemopen wants a writable buffer even for reading
    char none = 0;
    std::FILE* file = fmemopen(copy.empty() ? &none : copy.data(), copy.size(), "rb");
    FUZZ_CHECK(file != nullptr);
    auto keywords = read(file);
    std::fclose(file);
    return keywords;
}

std::vector<std::u16string> Entries(const KeywordList& keywords) {
    std::vector<std::u16string> entries;
    for (std::size_t k = 0; k < keywords.size(); ++k) {
        entries.push_back(keywords[k]);
    }
    return entries;
}

// Every escaped lead byte as "?", as the reader writes one that lost its second byte.
std::u16string WithLeadBytesAsQuestionMarks(std::u16string text) {
    for (char16_t& unit : text) {
        const unsigned byte = unit - kEscapedByteBase;
        if (IsEscapedByte(unit) &&
            ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC))) {
            unit = u'?';
        }
    }
    return text;
}

bool PairAt(std::u16string_view text, std::size_t i) {
    return i + 1 < text.size() && (text[i] & 0xFC00) == 0xD800 && (text[i + 1] & 0xFC00) == 0xDC00;
}

// What a text-mode read sees: everything before the first Ctrl+Z, CR LF as one LF.
std::string TextModeView(std::string_view file) {
    std::string text(file.substr(0, file.find('\x1A')));
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;) {
        text.erase(at, 1);
    }
    return text;
}

// The keywords are the pieces of `text` (which holds no NUL) in order: each ends at a line
// feed (consumed), at the end, after 132 units, or after 131 when a pair follows.
void CheckPieces(std::u16string_view text, const std::vector<std::u16string>& keywords) {
    constexpr std::size_t kMax = KeywordList::kMaxKeywordChars;
    std::size_t pos = 0;
    for (const std::u16string& keyword : keywords) {
        FUZZ_CHECK(keyword.size() <= kMax);
        FUZZ_CHECK(text.substr(pos, keyword.size()) == keyword);
        pos += keyword.size();
        if (keyword.size() == kMax) {
            FUZZ_CHECK(pos == 0 || !PairAt(text, pos - 1));
        } else if (pos < text.size() && text[pos] == u'\n') {
            ++pos;
        } else {
            FUZZ_CHECK(pos == text.size() || (keyword.size() == kMax - 1 && PairAt(text, pos)));
        }
    }
    FUZZ_CHECK(keywords.size() == KeywordList::kMaxKeywords || pos == text.size());
}

void CheckKeywords(std::string_view file, const KeywordList& keywords) {
    FUZZ_CHECK(keywords.size() <= KeywordList::kMaxKeywords);
    std::vector<std::u16string> entries = Entries(keywords);
    for (const std::u16string& keyword : entries) {
        FUZZ_CHECK(keyword.find_first_of(std::u16string_view(u"\n\0", 2)) == std::u16string::npos);
    }
    const std::string text = TextModeView(file);
    if (text.find('\0') == std::string::npos) {
        for (std::u16string& keyword : entries) {
            keyword = WithLeadBytesAsQuestionMarks(keyword);
        }
        CheckPieces(WithLeadBytesAsQuestionMarks(ThreadCodec().Decode(text)), entries);
    }
}

// The UTF-8 reader: the same pieces of the decoded file, each whole Unicode; nothing when
// the file is not UTF-8 (the inputs are far too short for the reader to stop early).
void CheckUtf8Keywords(std::string_view file, const std::optional<KeywordList>& keywords) {
    const std::string view = TextModeView(file);
    const std::string_view text =
        std::string_view(view).substr(view.starts_with("\xEF\xBB\xBF") ? 3 : 0);
    const std::optional<std::u16string> wide = Utf8ToUtf16(text);
    FUZZ_CHECK(keywords.has_value() == wide.has_value());
    if (!keywords) {
        return;
    }
    FUZZ_CHECK(keywords->size() <= KeywordList::kMaxKeywords);
    const std::vector<std::u16string> entries = Entries(*keywords);
    for (const std::u16string& keyword : entries) {
        FUZZ_CHECK(Utf16ToUtf8(keyword).has_value());
        FUZZ_CHECK(keyword.find_first_of(std::u16string_view(u"\n\0", 2)) == std::u16string::npos);
    }
    if (wide->find(u'\0') == std::u16string::npos) {
        CheckPieces(*wide, entries);
    }
}

// Characters, a surrogate pair counting once.
std::int32_t CountCharacters(std::u16string_view text) {
    std::int32_t count = 0;
    for (std::size_t i = 0; i < text.size(); i += PairAt(text, i) ? 2 : 1) {
        ++count;
    }
    return count;
}

template <typename Text>
struct Lines {
    std::int32_t count = 0;
    std::int32_t breaks = 0;  // the CR LF pairs a conversion writes between (and after) them
    Text joined;              // the text converted with nothing inserted
    Text normalized;          // the same lines with every break CR LF
};

// The lines of a text as the line rule cuts them: a CR ends a line and takes the unit
// after it along (a surrogate pair as one in UTF-16). A break at the very end opens no
// line; when an empty line there was not taken, the line before keeps its break ("A" CR
// LF CR gives "A" and a break).
template <typename Text>
Lines<Text> SplitLines(const Text& text) {
    Lines<Text> result;
    const Text crlf{'\r', '\n'};
    for (std::size_t p = 0, n = text.size(); p < n;) {
        const std::size_t end = std::min(text.find('\r', p), n);
        const Text line = text.substr(p, end - p);
        p = end;
        if (p < n && ++p < n) {
            if constexpr (sizeof(text[0]) == 2) {
                p += PairAt(text, p) ? 1 : 0;
            }
            ++p;
        }
        if (result.count > 0) {
            result.joined += crlf;
            ++result.breaks;
        }
        if (p >= n && line.empty()) {
            result.normalized = result.joined + (result.count > 0 ? crlf : Text());
            return result;
        }
        result.joined += line;
        ++result.count;
    }
    result.normalized = result.joined;
    return result;
}

template <typename Text>
ConversionResult<Text> Convert(const Text& text, const KeywordList& keywords, std::int32_t ratio,
                               bool marks, std::uint32_t seed) {
    RandomSource random;
    random.Seed(seed);
    return ConvertText(text, keywords, ConversionOptions{ratio, marks}, random);
}

// The marked output with every "<...>" taken out, each pair holding nothing or a keyword;
// `pairs` counts them.
template <typename Text>
Text TakeOutInsertions(const Text& marked, const std::vector<Text>& entries, std::int32_t& pairs) {
    Text rest;
    for (std::size_t i = 0; i < marked.size(); ++i) {
        FUZZ_CHECK(marked[i] != '>');  // a ">" without its "<"
        if (marked[i] != '<') {
            rest.push_back(marked[i]);
            continue;
        }
        const std::size_t close = marked.find('>', i + 1);
        FUZZ_CHECK(close != Text::npos);
        const Text inside = marked.substr(i + 1, close - i - 1);
        FUZZ_CHECK(inside.empty() || std::ranges::find(entries, inside) != entries.end());
        ++pairs;
        i = close;
    }
    return rest;
}

// The marked and the unmarked output of one run agree; returns the text with the
// insertions out.
template <typename Result, typename Text>
Text CheckMarkers(const Result& marked, const Result& plain, const std::vector<Text>& entries) {
    std::int32_t pairs = 0;
    const Text rest = TakeOutInsertions(marked.text, entries, pairs);
    FUZZ_CHECK(pairs == marked.stats.phraseCount);
    Text withoutMarkers = marked.text;
    std::erase_if(withoutMarkers, [](auto c) { return c == '<' || c == '>'; });
    FUZZ_CHECK(plain.text == withoutMarkers);
    ConversionStats stats = marked.stats;
    stats.outputCharCount -= 2 * marked.stats.phraseCount;
    FUZZ_CHECK(plain.stats == stats);
    return rest;
}

// The UTF-16 entry point; the text and keywords hold no "<" or ">".
void CheckWide(const std::u16string& text, const KeywordList& keywords, std::int32_t ratio,
               std::uint32_t seed) {
    const Lines<std::u16string> lines = SplitLines(text);
    const auto marked = Convert(text, keywords, ratio, true, seed);
    const auto plain = Convert(text, keywords, ratio, false, seed);
    const ConversionStats& stats = plain.stats;
    FUZZ_CHECK(stats.lineCount == lines.count);
    // A CR of a keyword or a lone LF of the text is a character, also when they meet.
    FUZZ_CHECK(stats.outputCharCount == CountCharacters(plain.text) - lines.breaks);
    FUZZ_CHECK(stats.insertedCount >= 0 && stats.insertedCount <= stats.phraseCount);
    FUZZ_CHECK(ratio != 0 || (stats.insertedCount == 0 && plain.text == lines.joined));
    FUZZ_CHECK(ratio != 10 || stats.insertedCount == stats.phraseCount);
    FUZZ_CHECK(CheckMarkers(marked, plain, Entries(keywords)) == lines.joined);
}

void CheckNarrow(const std::string& text, const KeywordList& keywords, std::int32_t ratio,
                 bool marks, std::uint32_t seed) {
    Cp932Codec& codec = ThreadCodec();
    // With every line break turned into CR LF: the same lines, the same result.
    const auto narrow = Convert(text, keywords, ratio, marks, seed);
    const auto wide =
        Convert(codec.Decode(SplitLines(text).normalized), keywords, ratio, marks, seed);
    FUZZ_CHECK(narrow.stats == wide.stats);
    FUZZ_CHECK(narrow.text == codec.Encode(wide.text));
    // Written out and read back, no character has joined the one after it.
    FUZZ_CHECK(codec.Decode(narrow.text).size() == wide.text.size());
}

// Without "<" and ">"; never empty, as in a run.
KeywordList Clean(const KeywordList& keywords) {
    KeywordList clean;
    for (std::size_t k = 0; k < keywords.size(); ++k) {
        clean.Append(Unmarked(keywords[k]));
    }
    if (clean.empty()) {
        clean.Append(u"\u8a9e");
    }
    return clean;
}

void CheckUtf8(std::string_view dictionary, const std::string& text, std::int32_t ratio,
               std::uint32_t seed) {
    const std::optional<KeywordList> read = ReadFrom(dictionary, ReadUtf8Keywords);
    CheckUtf8Keywords(dictionary, read);
    const KeywordList keywords = Clean(read.value_or(KeywordList{}));
    const std::optional<std::u16string> wide =
        Utf8ToUtf16(std::string_view(text).substr(text.starts_with("\xEF\xBB\xBF") ? 3 : 0));
    RandomSource random;
    random.Seed(seed);
    const Utf8Conversion marked = ConvertUtf8Text(text, keywords, {ratio, true}, random);
    random.Seed(seed);
    const Utf8Conversion plain = ConvertUtf8Text(text, keywords, {ratio, false}, random);
    if (!wide) {
        for (const Utf8Conversion* result : {&marked, &plain}) {
            const Utf8Fault* fault = std::get_if<Utf8Fault>(result);
            FUZZ_CHECK(fault != nullptr && *fault == Utf8Fault::kInputNotUtf8);
        }
        return;
    }
    // Valid text and keywords read as UTF-8: nothing to refuse.
    const auto* markedResult = std::get_if<ConversionResult<std::string>>(&marked);
    const auto* plainResult = std::get_if<ConversionResult<std::string>>(&plain);
    FUZZ_CHECK(markedResult != nullptr && plainResult != nullptr);
    std::vector<std::string> entries;
    for (const std::u16string& keyword : Entries(keywords)) {
        entries.push_back(Utf16ToUtf8(keyword).value());
    }
    FUZZ_CHECK(CheckMarkers(*markedResult, *plainResult, entries) == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillery::fuzz::Reader reader(data, size);
    const std::int32_t ratio = reader.Byte() % 11;
    const bool marks = (reader.Byte() & 1) != 0;
    const std::uint32_t seed = reader.Uint32();
    const std::string_view dictionary = reader.Bytes(reader.Uint16());
    // "<" and ">" are never the second byte of a character.
    const std::string text = Unmarked(std::string(reader.Rest()));

    const KeywordList keywords = ReadFrom(dictionary, ReadKeywords);
    CheckKeywords(dictionary, keywords);
    const KeywordList clean = Clean(keywords);
    CheckNarrow(text, clean, ratio, marks, seed);
    CheckWide(ThreadCodec().Decode(SplitLines(text).normalized), clean, ratio, seed);
    CheckUtf8(dictionary, text, ratio, seed);
    return 0;
}
