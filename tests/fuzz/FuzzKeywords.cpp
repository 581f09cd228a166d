// ReadKeywords on an arbitrary dictionary, then ConvertText (narrow and UTF-16) and the
// converter's UTF-8 mode with the keywords read and an arbitrary text, ratio, seed and marks.
// Input: the ratio (mod 11), the marks (bit 0), the seed (4 bytes), the dictionary's length
// n (2 bytes, little endian), n bytes of dictionary, the text; the text's bytes are also
// taken two at a time as UTF-16 units.
//
// Each property is checked against a model written here:
//  - the list: at most 1000 keywords of at most 132 characters, without LF or NUL, joined
//    the file's text-mode view without its LFs (a prefix, when 1000 were read); CR LF and
//    LF files give the same list;
//  - the lines are those the line rule cuts; the counters count characters (a pair or a
//    CR LF break once); ratio 0 inserts nothing, ratio 10 at every phrase;
//  - taking every "<...>" out of the marked output gives the text, one pair per phrase,
//    each holding nothing or a keyword; the unmarked output is the marked one without
//    markers; the narrow output is the UTF-16 one encoded, the same counters, decoding to
//    as many characters (no keyword byte joins the text after it);
//  - the UTF-8 mode refuses exactly the text that is not UTF-8, gives the text back byte
//    for byte once the insertions are out, and counts as the UTF-16 entry point does.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "cli/Utf8Text.h"
#include "engine/Conversion.h"
#include "engine/Cp932Codec.h"
#include "engine/KeywordList.h"
#include "engine/Utf8.h"

namespace {

using namespace quillery;
using quillery::fuzz::ReplaceAll;

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

void CheckKeywords(std::string_view file, const KeywordList& keywords) {
    FUZZ_CHECK(keywords.size() <= KeywordList::kMaxKeywords);
    std::u16string joined;
    for (const std::u16string& keyword : Entries(keywords)) {
        FUZZ_CHECK(keyword.size() <= KeywordList::kMaxKeywordChars);
        FUZZ_CHECK(keyword.find_first_of(std::u16string_view(u"\n\0", 2)) == std::u16string::npos);
        joined += keyword;
    }
    // What a text-mode read sees: everything before the first Ctrl+Z, CR LF as one LF.
    std::string text(file.substr(0, file.find('\x1A')));
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;) {
        text.erase(at, 1);
    }
    if (text.find('\0') == std::string::npos) {
        std::u16string expected = ThreadCodec().Decode(text);
        std::erase(expected, u'\n');
        joined = WithLeadBytesAsQuestionMarks(joined);
        expected = WithLeadBytesAsQuestionMarks(expected);
        FUZZ_CHECK(keywords.size() < KeywordList::kMaxKeywords
                       ? joined == expected
                       : expected.compare(0, joined.size(), joined) == 0);
    }
    // The same lines saved with LF alone and with CR LF.
    std::string lf(file);
    std::erase(lf, '\r');
    std::string crlf;
    for (const char c : lf) {
        crlf += c == '\n' ? "\r\n" : std::string(1, c);
    }
    FUZZ_CHECK(Entries(ReadFrom(lf, ReadKeywords)) == Entries(ReadFrom(crlf, ReadKeywords)));
}

// The lines of a text as the line rule cuts them: a CR ends a line and takes the unit
// after it along (a surrogate pair as one in UTF-16). A break at the very end opens no
// line; when an empty line there was not taken, the line before keeps its break ("A" CR
// LF CR gives "A" and a break).
template <typename Text>
struct Lines {
    std::vector<Text> lines;
    bool lastKeepsBreak = false;
    inline static const Text kCrLf{'\r', '\n'};

    // The CR LF pairs that a conversion writes between (and after) the lines.
    std::int32_t Breaks() const {
        return static_cast<std::int32_t>(lines.empty() ? 0 : lines.size() - 1 + lastKeepsBreak);
    }
    // The text converted with nothing inserted.
    Text Joined() const {
        Text joined;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            joined += (i > 0 ? kCrLf : Text()) + lines[i];
        }
        return lastKeepsBreak ? joined + kCrLf : joined;
    }
    // A text with the same lines in which every line break is CR LF.
    Text Normalized() const { return lastKeepsBreak ? Joined() + kCrLf : Joined(); }
};

template <typename Text>
Lines<Text> SplitLines(const Text& text) {
    Lines<Text> result;
    const std::size_t n = text.size();
    for (std::size_t p = 0;;) {
        const std::size_t end = std::min(text.find('\r', p), n);
        Text line = text.substr(p, end - p);
        p = end;
        if (p < n && ++p < n) {
            bool pair = false;
            if constexpr (sizeof(text[0]) == 2) {
                pair =
                    (text[p] & 0xFC00) == 0xD800 && p + 1 < n && (text[p + 1] & 0xFC00) == 0xDC00;
            }
            p += pair ? 2 : 1;
        }
        if (p >= n && line.empty()) {
            result.lastKeepsBreak = !result.lines.empty();
            return result;
        }
        result.lines.push_back(std::move(line));
        if (p >= n) {
            return result;
        }
    }
}

// Characters, a surrogate pair counting once.
std::int32_t CountCharacters(std::u16string_view text) {
    std::int32_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i, ++count) {
        i +=
            (text[i] & 0xFC00) == 0xD800 && i + 1 < text.size() && (text[i + 1] & 0xFC00) == 0xDC00;
    }
    return count;
}

template <typename Text>
ConversionResult<Text> Convert(const Text& text, const KeywordList& keywords, std::int32_t ratio,
                               bool marks, std::uint32_t seed) {
    RandomSource random;
    random.Seed(seed);
    return ConvertText(text, keywords, ConversionOptions{ratio, marks}, random);
}

// The marked output with every "<...>" taken out; each pair holds nothing or a keyword.
template <typename Text>
Text TakeOutInsertions(const Text& marked, const std::vector<Text>& entries, std::int32_t& pairs,
                       std::int32_t& filled) {
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
        FUZZ_CHECK(inside.find('<') == Text::npos);
        FUZZ_CHECK(inside.empty() ||
                   std::find(entries.begin(), entries.end(), inside) != entries.end());
        ++pairs;
        filled += inside.empty() ? 0 : 1;
        i = close;
    }
    return rest;
}

template <typename Text>
Text WithoutMarkers(Text text) {
    std::erase_if(text, [](auto c) { return c == '<' || c == '>'; });
    return text;
}

// The UTF-16 entry point; the text and keywords hold no "<" or ">".
void CheckWide(const std::u16string& text, const KeywordList& keywords, std::int32_t ratio,
               std::uint32_t seed) {
    const Lines<std::u16string> lines = SplitLines(text);
    const auto marked = Convert(text, keywords, ratio, true, seed);
    const auto plain = Convert(text, keywords, ratio, false, seed);
    for (const auto* result : {&marked, &plain}) {
        const ConversionStats& stats = result->stats;
        FUZZ_CHECK(stats.lineCount == static_cast<std::int32_t>(lines.lines.size()));
        // A CR of a keyword or a lone LF of the text is a character, also when they meet.
        FUZZ_CHECK(stats.outputCharCount == CountCharacters(result->text) - lines.Breaks());
        FUZZ_CHECK(stats.insertedCount >= 0 && stats.insertedCount <= stats.phraseCount);
        FUZZ_CHECK(ratio != 0 || stats.insertedCount == 0);
        FUZZ_CHECK(ratio != 10 || stats.insertedCount == stats.phraseCount);
    }
    FUZZ_CHECK(ratio != 0 || plain.text == lines.Joined());
    std::int32_t pairs = 0;
    std::int32_t filled = 0;
    FUZZ_CHECK(TakeOutInsertions(marked.text, Entries(keywords), pairs, filled) == lines.Joined());
    FUZZ_CHECK(pairs == marked.stats.phraseCount);
    FUZZ_CHECK(filled <= marked.stats.insertedCount);
    FUZZ_CHECK(plain.text == WithoutMarkers(marked.text));
    // The same counts, but two characters fewer for each pair of markers.
    ConversionStats withoutMarkers = marked.stats;
    withoutMarkers.outputCharCount -= 2 * marked.stats.phraseCount;
    FUZZ_CHECK(plain.stats == withoutMarkers);
}

void CheckNarrow(const std::string& text, const KeywordList& keywords, std::int32_t ratio,
                 bool marks, std::uint32_t seed) {
    Cp932Codec& codec = ThreadCodec();
    // Every line break turned into CR LF: the same lines, the same result.
    const std::string normalized = SplitLines(text).Normalized();
    const auto narrow = Convert(text, keywords, ratio, marks, seed);
    const auto same = Convert(normalized, keywords, ratio, marks, seed);
    FUZZ_CHECK(narrow.text == same.text && narrow.stats == same.stats);
    const std::u16string decoded = codec.Decode(normalized);
    const auto wide = Convert(decoded, keywords, ratio, marks, seed);
    FUZZ_CHECK(narrow.stats == wide.stats);
    FUZZ_CHECK(narrow.text == codec.Encode(wide.text));
    // Written out and read back, no character has joined the one after it.
    FUZZ_CHECK(codec.Decode(narrow.text).size() == wide.text.size());
    const auto valid = [](std::u16string_view t) { return std::ranges::none_of(t, IsEscapedByte); };
    if (valid(decoded) && std::ranges::all_of(Entries(keywords), valid)) {
        FUZZ_CHECK(codec.Decode(narrow.text) == wide.text);
    }
}

// Without "<" and ">", so that markers stand out; never empty, as in a run.
KeywordList Clean(const KeywordList& keywords) {
    KeywordList clean;
    for (std::size_t k = 0; k < keywords.size(); ++k) {
        clean.Append(ReplaceAll(ReplaceAll(keywords[k], u'<', u'*'), u'>', u'*'));
    }
    if (clean.empty()) {
        clean.Append(u"\u8a9e");
    }
    return clean;
}

void CheckUtf8(std::string_view dictionary, const std::string& text, std::int32_t ratio,
               std::uint32_t seed) {
    const KeywordList keywords =
        Clean(ReadFrom(dictionary, ReadUtf8Keywords).value_or(KeywordList{}));
    const std::optional<std::u16string> wide =
        Utf8ToUtf16(std::string_view(text).substr(text.starts_with("\xEF\xBB\xBF") ? 3 : 0));
    RandomSource random;
    random.Seed(seed);
    const auto marked = ConvertUtf8Text(text, keywords, {ratio, true}, random);
    random.Seed(seed);
    const auto plain = ConvertUtf8Text(text, keywords, {ratio, false}, random);
    FUZZ_CHECK(marked.has_value() == wide.has_value() && plain.has_value() == wide.has_value());
    if (!wide) {
        return;
    }
    std::vector<std::string> entries;
    for (const std::u16string& keyword : Entries(keywords)) {
        entries.push_back(Utf16ToUtf8(keyword).value());
    }
    std::int32_t pairs = 0;
    std::int32_t filled = 0;
    FUZZ_CHECK(TakeOutInsertions(marked->text, entries, pairs, filled) == text);
    FUZZ_CHECK(pairs == marked->stats.phraseCount);
    FUZZ_CHECK(plain->text == WithoutMarkers(marked->text));
    std::u16string crlf;
    for (std::size_t i = 0; i < wide->size(); ++i) {
        const char16_t c = (*wide)[i];
        crlf += c == u'\r' || c == u'\n' ? u"\r\n" : std::u16string(1, c);
        i += c == u'\r' && i + 1 < wide->size() && (*wide)[i + 1] == u'\n';
    }
    FUZZ_CHECK(plain->stats == Convert(crlf, keywords, ratio, false, seed).stats);
    FUZZ_CHECK(marked->stats == Convert(crlf, keywords, ratio, true, seed).stats);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillery::fuzz::Reader reader(data, size);
    const std::int32_t ratio = reader.Byte() % 11;
    const bool marks = (reader.Byte() & 1) != 0;
    const std::uint32_t seed = reader.Uint32();
    const std::string_view dictionary = reader.Bytes(reader.Uint16());
    const std::string_view rawText = reader.Rest();

    const KeywordList keywords = ReadFrom(dictionary, ReadKeywords);
    CheckKeywords(dictionary, keywords);

    // "<" and ">" are never the second byte of a character.
    const KeywordList clean = Clean(keywords);
    const std::string text = ReplaceAll(ReplaceAll(std::string(rawText), '<', '*'), '>', '*');
    CheckNarrow(text, clean, ratio, marks, seed);
    CheckWide(ThreadCodec().Decode(SplitLines(text).Normalized()), clean, ratio, seed);

    std::u16string units(text.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(text[2 * i]) |
                                         static_cast<unsigned char>(text[2 * i + 1]) << 8);
    }
    CheckWide(ReplaceAll(ReplaceAll(units, u'<', u'*'), u'>', u'*'), clean, ratio, seed);
    CheckUtf8(dictionary, text, ratio, seed);
    return 0;
}
