// ReadKeywords on an arbitrary dictionary file, then ConvertText (narrow and UTF-16) with
// the keywords read and an arbitrary text, ratio, seed and mark flag.
//
// Input layout: byte 0 the ratio (taken modulo 11), byte 1 the flags (bit 0: marks),
// bytes 2..5 the seed, bytes 6..7 the dictionary's length n (little endian), then n bytes
// of dictionary file, then the text in code page 932. The same text bytes, taken two at
// a time, are also converted as UTF-16 units, surrogates and all.
//
// Properties checked beyond "no crash":
//  - the list holds at most 1000 keywords of at most 132 characters, none with a line
//    feed or NUL; without NULs their concatenation is the file's text (up to Ctrl+Z,
//    decoded) with its line feeds removed, or a prefix of it when 1000 were read (a lone
//    lead byte at the end of a keyword being "?");
//  - the file saved with CR LF and saved with LF alone give the same list;
//  - lineCount is the number of lines that the line rule cuts; a CR followed by any
//    byte ends a line exactly as CR LF does;
//  - outputCharCount is the output's character count, a surrogate pair and a line
//    break (CR LF) each counted once; insertedCount <= phraseCount; ratio 10 inserts at every
//    phrase; ratio 0 inserts nothing, and without marks its output is the input with its lines
//    joined by CR LF (the input itself, but for a line break at its very end);
//  - with marks, removing every "<...>" from the output gives that same text, there is
//    one pair per phrase, and what stands inside a pair is empty or a keyword; without
//    marks the output is the marked one without its markers, the same random draws
//    having been made;
//  - the narrow output is the UTF-16 output of the same text encoded, with the same
//    counters; decoded, it has as many characters (no byte of a keyword joins the text
//    after it into another character), and it is the UTF-16 output when text and
//    keywords are valid code page 932.
//  - the converter's UTF-8 mode, with the dictionary read as UTF-8, refuses the text
//    exactly when it is not UTF-8 (after a byte-order mark); otherwise taking the marked
//    insertions out gives the text back byte for byte (every line break as it came, the
//    final one and the byte-order mark included), what stands inside a pair is empty or
//    a keyword, the unmarked output is the marked one without markers, and the counters
//    are those of the UTF-16 entry point for the text with CR LF breaks.
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

KeywordList ReadKeywordsFrom(std::string_view bytes) {
    // fmemopen wants a writable buffer even for reading.
    std::string copy(bytes);
    char none = 0;
    std::FILE* file = fmemopen(copy.empty() ? &none : copy.data(), copy.size(), "rb");
    FUZZ_CHECK(file != nullptr);
    KeywordList keywords = ReadKeywords(file);
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

// What a text-mode read sees: everything before the first Ctrl+Z, CR LF as one LF.
std::string TextModeView(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\x1A'));
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            continue;
        }
        text.push_back(bytes[i]);
    }
    return text;
}

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
    for (std::size_t k = 0; k < keywords.size(); ++k) {
        FUZZ_CHECK(keywords[k].size() <= KeywordList::kMaxKeywordChars);
        FUZZ_CHECK(keywords[k].find(u'\n') == std::u16string::npos);
        FUZZ_CHECK(keywords[k].find(u'\0') == std::u16string::npos);
        joined += keywords[k];
    }
    const std::string text = TextModeView(file);
    if (text.find('\0') == std::string::npos) {
        std::u16string expected = ThreadCodec().Decode(text);
        expected.erase(std::remove(expected.begin(), expected.end(), u'\n'), expected.end());
        // A lead byte that lost its second byte ends its keyword as "?"; compare the two
        // with every escaped lead byte as "?".
        joined = WithLeadBytesAsQuestionMarks(joined);
        expected = WithLeadBytesAsQuestionMarks(expected);
        if (keywords.size() < KeywordList::kMaxKeywords) {
            FUZZ_CHECK(joined == expected);
        } else {
            FUZZ_CHECK(expected.compare(0, joined.size(), joined) == 0);
        }
    }

    // The same lines saved with LF alone and with CR LF.
    std::string lf(file);
    lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
    std::string crlf;
    for (const char c : lf) {
        if (c == '\n') {
            crlf.push_back('\r');
        }
        crlf.push_back(c);
    }
    FUZZ_CHECK(Entries(ReadKeywordsFrom(lf)) == Entries(ReadKeywordsFrom(crlf)));
}

// The lines of a text as the line rule cuts them: a CR ends a line and takes the unit
// after it along (a surrogate pair counting as one in UTF-16). A break at the very end
// opens no further line; when an empty line there was not taken, the line before it was
// not the last one and keeps its break ("A" CR LF CR gives "A" and a break).
template <typename Text>
struct Lines {
    std::vector<Text> lines;
    bool lastKeepsBreak = false;

    // The CR LF pairs that a conversion writes between (and after) the lines.
    std::int32_t Breaks() const {
        const std::size_t n = lines.empty() ? 0 : lines.size() - 1 + (lastKeepsBreak ? 1 : 0);
        return static_cast<std::int32_t>(n);
    }

    // The text converted with nothing inserted: the lines with CR LF between them.
    Text Joined() const {
        Text joined;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i > 0) {
                AppendCrLf(joined);
            }
            joined += lines[i];
        }
        if (lastKeepsBreak) {
            AppendCrLf(joined);
        }
        return joined;
    }

    // A text with the same lines in which every line break is CR LF.
    Text Normalized() const {
        Text text = Joined();
        if (lastKeepsBreak) {
            AppendCrLf(text);
        }
        return text;
    }

    static void AppendCrLf(Text& text) {
        text.push_back('\r');
        text.push_back('\n');
    }
};

template <typename Text>
Lines<Text> SplitLines(const Text& text) {
    Lines<Text> result;
    std::size_t p = 0;
    const std::size_t n = text.size();
    for (;;) {
        std::size_t end = p;
        while (end < n && text[end] != '\r') {
            ++end;
        }
        Text line = text.substr(p, end - p);
        p = end;
        if (p < n) {
            p += 1;
            if (p < n) {
                bool pair = false;
                if constexpr (sizeof(text[0]) == 2) {
                    pair = text[p] >= 0xD800 && text[p] <= 0xDBFF && p + 1 < n &&
                           text[p + 1] >= 0xDC00 && text[p + 1] <= 0xDFFF;
                }
                p += pair ? 2 : 1;
            }
        }
        const bool last = p >= n;
        if (last && line.empty()) {
            result.lastKeepsBreak = !result.lines.empty();
            break;
        }
        result.lines.push_back(std::move(line));
        if (last) {
            break;
        }
    }
    return result;
}

// Characters, a surrogate pair counting once.
std::int32_t CountCharacters(std::u16string_view text) {
    std::int32_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool pair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() &&
                          text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        i += pair ? 1 : 0;
        ++count;
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

// The properties of the UTF-16 entry point; the text and keywords hold no "<" or ">".
void CheckWide(const std::u16string& text, const KeywordList& keywords, std::int32_t ratio,
               std::uint32_t seed) {
    const Lines<std::u16string> lines = SplitLines(text);
    const auto marked = Convert(text, keywords, ratio, true, seed);
    const auto plain = Convert(text, keywords, ratio, false, seed);

    for (const auto* result : {&marked, &plain}) {
        const ConversionStats& stats = result->stats;
        FUZZ_CHECK(stats.lineCount == static_cast<std::int32_t>(lines.lines.size()));
        // A line break counts once; a CR of a keyword or a lone LF of the text is a
        // character of its own, also when the two meet.
        FUZZ_CHECK(stats.outputCharCount == CountCharacters(result->text) - lines.Breaks());
        FUZZ_CHECK(stats.insertedCount >= 0 && stats.insertedCount <= stats.phraseCount);
        if (ratio == 0) {
            FUZZ_CHECK(stats.insertedCount == 0);
        }
        if (ratio == 10) {
            FUZZ_CHECK(stats.insertedCount == stats.phraseCount);
        }
    }
    if (ratio == 0) {
        FUZZ_CHECK(plain.text == lines.Joined());
    }

    // Take the marked insertions out again.
    const std::vector<std::u16string> entries = Entries(keywords);
    std::u16string rest;
    std::int32_t pairs = 0;
    std::int32_t filled = 0;
    for (std::size_t i = 0; i < marked.text.size(); ++i) {
        FUZZ_CHECK(marked.text[i] != u'>');  // a ">" without its "<"
        if (marked.text[i] != u'<') {
            rest.push_back(marked.text[i]);
            continue;
        }
        const std::size_t close = marked.text.find(u'>', i + 1);
        FUZZ_CHECK(close != std::u16string::npos);
        const std::u16string inside = marked.text.substr(i + 1, close - i - 1);
        FUZZ_CHECK(inside.find(u'<') == std::u16string::npos);
        if (!inside.empty()) {
            FUZZ_CHECK(std::find(entries.begin(), entries.end(), inside) != entries.end());
            ++filled;
        }
        ++pairs;
        i = close;
    }
    FUZZ_CHECK(rest == lines.Joined());
    FUZZ_CHECK(pairs == marked.stats.phraseCount);
    FUZZ_CHECK(filled <= marked.stats.insertedCount);

    std::u16string unmarked = marked.text;
    unmarked.erase(std::remove_if(unmarked.begin(), unmarked.end(),
                                  [](char16_t c) { return c == u'<' || c == u'>'; }),
                   unmarked.end());
    FUZZ_CHECK(plain.text == unmarked);
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
    FUZZ_CHECK(narrow.text == same.text);
    FUZZ_CHECK(narrow.stats == same.stats);

    const std::u16string decoded = codec.Decode(normalized);
    const auto wide = Convert(decoded, keywords, ratio, marks, seed);
    FUZZ_CHECK(narrow.stats == wide.stats);
    FUZZ_CHECK(narrow.text == codec.Encode(wide.text));
    // Written out and read back, no character has joined the one after it.
    FUZZ_CHECK(codec.Decode(narrow.text).size() == wide.text.size());
    const auto valid = [](std::u16string_view t) {
        return std::none_of(t.begin(), t.end(), IsEscapedByte);
    };
    const std::vector<std::u16string> entries = Entries(keywords);
    if (valid(decoded) && std::all_of(entries.begin(), entries.end(), valid)) {
        FUZZ_CHECK(codec.Decode(narrow.text) == wide.text);
    }
}

KeywordList WithoutMarkers(const KeywordList& keywords) {
    KeywordList clean;
    for (std::size_t k = 0; k < keywords.size(); ++k) {
        clean.Append(ReplaceAll(ReplaceAll(keywords[k], u'<', u'*'), u'>', u'*'));
    }
    if (clean.empty()) {
        // A run never converts with an empty list; convert with one keyword instead.
        clean.Append(u"\u8a9e");
    }
    return clean;
}

void CheckUtf8(std::string_view dictionary, const std::string& text, std::int32_t ratio,
               std::uint32_t seed) {
    std::string copy(dictionary);
    char none = 0;
    std::FILE* file = fmemopen(copy.empty() ? &none : copy.data(), copy.size(), "rb");
    FUZZ_CHECK(file != nullptr);
    const std::optional<KeywordList> read = ReadUtf8Keywords(file);
    std::fclose(file);
    const KeywordList keywords = WithoutMarkers(read.value_or(KeywordList{}));

    std::string_view body = text;
    if (body.starts_with("\xEF\xBB\xBF")) {
        body.remove_prefix(3);
    }
    const std::optional<std::u16string> wide = Utf8ToUtf16(body);
    RandomSource random;
    random.Seed(seed);
    const auto marked = ConvertUtf8Text(text, keywords, {ratio, true}, random);
    random.Seed(seed);
    const auto plain = ConvertUtf8Text(text, keywords, {ratio, false}, random);
    FUZZ_CHECK(marked.has_value() == wide.has_value());
    FUZZ_CHECK(plain.has_value() == wide.has_value());
    if (!wide) {
        return;
    }

    std::vector<std::string> entries;
    for (std::size_t k = 0; k < keywords.size(); ++k) {
        entries.push_back(Utf16ToUtf8(keywords[k]).value());
    }
    std::string rest;
    std::int32_t pairs = 0;
    for (std::size_t i = 0; i < marked->text.size(); ++i) {
        FUZZ_CHECK(marked->text[i] != '>');
        if (marked->text[i] != '<') {
            rest.push_back(marked->text[i]);
            continue;
        }
        const std::size_t close = marked->text.find('>', i + 1);
        FUZZ_CHECK(close != std::string::npos);
        const std::string inside = marked->text.substr(i + 1, close - i - 1);
        FUZZ_CHECK(inside.empty() ||
                   std::find(entries.begin(), entries.end(), inside) != entries.end());
        ++pairs;
        i = close;
    }
    FUZZ_CHECK(rest == text);
    FUZZ_CHECK(pairs == marked->stats.phraseCount);
    std::string unmarked = marked->text;
    unmarked.erase(std::remove_if(unmarked.begin(), unmarked.end(),
                                  [](char c) { return c == '<' || c == '>'; }),
                   unmarked.end());
    FUZZ_CHECK(plain->text == unmarked);

    std::u16string crlf;
    for (std::size_t i = 0; i < wide->size(); ++i) {
        const char16_t c = (*wide)[i];
        if (c == u'\r' || c == u'\n') {
            crlf += u"\r\n";
            i += c == u'\r' && i + 1 < wide->size() && (*wide)[i + 1] == u'\n';
        } else {
            crlf.push_back(c);
        }
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

    const KeywordList keywords = ReadKeywordsFrom(dictionary);
    CheckKeywords(dictionary, keywords);

    // "<" and ">" are ordinary characters to the engine; without them the markers can be
    // told from the text. Neither byte is ever the second byte of a character.
    const KeywordList clean = WithoutMarkers(keywords);
    const std::string text = ReplaceAll(ReplaceAll(std::string(rawText), '<', '*'), '>', '*');

    CheckNarrow(text, clean, ratio, marks, seed);
    CheckWide(ThreadCodec().Decode(SplitLines(text).Normalized()), clean, ratio, seed);

    std::u16string units(text.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(text[2 * i]) |
                                         static_cast<unsigned char>(text[2 * i + 1]) << 8);
    }
    units = ReplaceAll(ReplaceAll(units, u'<', u'*'), u'>', u'*');
    CheckWide(units, clean, ratio, seed);

    CheckUtf8(dictionary, text, ratio, seed);
    return 0;
}
