// The two ConvertText entry points: code page 932 bytes and UTF-16 text agree on
// everything the code page holds; the UTF-16 one also carries characters beyond it.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine/Conversion.h"
#include "tests/engine/TestSupport.h"

namespace quillery {
namespace {

using test::U16;
using test::Utf8;

// Characters a Japanese text is made of, in the code page: kanji of both levels and the
// extensions, kana of both widths, the particles, marks, Latin letters, digits, blanks.
const std::vector<std::u16string>& Pool() {
    static const std::vector<std::u16string> pool = [] {
        const char* const groups[] = {
            "私東京大阪行来見聞話書読雨風春夏秋冬空海山川花鳥月星心夢時間人生世界日本語文字",
            "髙纊褜鍈①②⑩㈱№℡ⅰⅱⅠⅡ∵≒￢∫㍉㌔",
            "はにをがでともへやのかなりましたですすることあいうえおんぁゃっ",
            "、。，．",
            "アイウエオカタカナコーヒーヴァ",
            "ｱｲｳｴｵｶﾀｶﾅｺｰﾋｰ｡､ﾞﾟ",
            "ゝゞ゛゜ー「」『』（）！？・…―～＼",
            "ABCxyz0123456789 ,.!?\\~\t　\n",
        };
        std::vector<std::u16string> chars;
        for (const char* group : groups) {
            for (const char16_t c : U16(group)) {
                chars.emplace_back(1, c);
            }
        }
        return chars;
    }();
    return pool;
}

class RandomText {
  public:
    explicit RandomText(std::uint32_t seed) : rng_(seed) {}

    std::u16string Chars(int maxLength) {
        std::u16string out;
        const int length = Int(0, maxLength);
        for (int i = 0; i < length; ++i) {
            out += Pool()[static_cast<std::size_t>(Int(0, static_cast<int>(Pool().size()) - 1))];
        }
        return out;
    }

    std::u16string Text() {
        std::u16string text;
        const int lines = Int(0, 12);
        for (int i = 0; i < lines; ++i) {
            if (i > 0) {
                text += u"\r\n";
            }
            text += Chars(Int(0, 3) == 0 ? 0 : 80);
        }
        if (Int(0, 3) == 0) {
            text += u"\r\n";
        }
        return text;
    }

    KeywordList Keywords() {
        KeywordList list;
        const int count = Int(1, 20);
        for (int i = 0; i < count; ++i) {
            std::u16string keyword = Chars(12);
            std::erase(keyword, u'\n');
            list.Append(keyword);
        }
        return list;
    }

    int Int(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }

  private:
    std::mt19937 rng_;
};

// Characters of a UTF-16 output as the counter counts them: a pair once, CR LF once.
std::int32_t CountedChars(std::u16string_view text) {
    std::int32_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            ++i;
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            ++i;
        }
        ++count;
    }
    return count;
}

struct Both {
    ConversionResult<std::string> narrow;
    ConversionResult<std::u16string> wide;
    int narrowNext;
    int wideNext;
};

Both ConvertBoth(const std::u16string& text, const KeywordList& keywords,
                 const ConversionOptions& options, std::uint32_t seed) {
    Cp932Codec codec;
    const std::string bytes = codec.Encode(text);
    RandomSource narrowRandom;
    RandomSource wideRandom;
    narrowRandom.Seed(seed);
    wideRandom.Seed(seed);
    Both both{ConvertText(bytes, keywords, options, narrowRandom),
              ConvertText(codec.Decode(bytes), keywords, options, wideRandom), 0, 0};
    both.narrowNext = narrowRandom.Next();
    both.wideNext = wideRandom.Next();
    return both;
}

TEST(EntryPoints, AgreeOnRandomCodePage932Text) {
    Cp932Codec codec;
    RandomText random(20240607);
    for (int iteration = 0; iteration < 1500; ++iteration) {
        const std::u16string text = random.Text();
        ASSERT_EQ(codec.Decode(codec.Encode(text)), text) << "the pool is in the code page";
        const KeywordList keywords = random.Keywords();
        ConversionOptions options;
        options.insertRatio = random.Int(0, 10);
        options.markInsertions = random.Int(0, 1) == 1;
        const auto seed = static_cast<std::uint32_t>(random.Int(0, 0x7FFFFFFF)) * 2u + 1u;

        const Both both = ConvertBoth(text, keywords, options, seed);
        SCOPED_TRACE("text: " + Utf8(text) + " ratio " + std::to_string(options.insertRatio) +
                     (options.markInsertions ? " marked" : "") + " seed " + std::to_string(seed));
        ASSERT_EQ(Utf8(codec.Decode(both.narrow.text)), Utf8(both.wide.text));
        ASSERT_EQ(both.narrow.stats, both.wide.stats);
        ASSERT_EQ(both.narrowNext, both.wideNext);
        ASSERT_EQ(both.wide.stats.outputCharCount, CountedChars(both.wide.text));
    }
}

TEST(EntryPoints, AgreeOnTheWorkedExample) {
    const Both both = ConvertBoth(U16("私は東京に行きました。"), test::Keywords({"X"}),
                                  ConversionOptions{5, true}, 1);
    EXPECT_EQ(Utf8(both.wide.text), "<X>私は<X>東京に<>行きました。");
    EXPECT_EQ(both.wide.stats, both.narrow.stats);
    EXPECT_EQ(both.wide.stats.outputCharCount, 19);
}

// ---------------------------------------------------------------------------------------

ConversionResult<std::u16string> ConvertWide(const std::u16string& text,
                                             const KeywordList& keywords, int ratio, bool mark,
                                             std::uint32_t seed = 1) {
    RandomSource random;
    random.Seed(seed);
    return ConvertText(text, keywords, ConversionOptions{ratio, mark}, random);
}

TEST(Utf16EntryPoint, CharactersBeyondTheCodePagePassThroughUnchanged) {
    const auto result = ConvertWide(u"𠮷野家で😀を食べた。", test::Keywords({"X"}), 0, true);
    EXPECT_EQ(Utf8(result.text), "<>𠮷野家で<>😀を<>食べた。");
    EXPECT_EQ(result.stats.phraseCount, 3);
    EXPECT_EQ(result.stats.outputCharCount, 16);
}

TEST(Utf16EntryPoint, SurrogatePairCountsOneEverywhere) {
    auto result = ConvertWide(u"😀", test::Keywords({"X"}), 0, false);
    EXPECT_EQ(result.text, u"😀");
    EXPECT_EQ(result.stats.outputCharCount, 1);
    EXPECT_EQ(result.stats.phraseCount, 1);

    // A keyword of pairs counts its characters.
    KeywordList keywords;
    keywords.Append(u"𠮷😀");
    result = ConvertWide(u"東京\r\n大阪", keywords, 10, false);
    EXPECT_EQ(result.text, u"𠮷😀東京\r\n𠮷😀大阪");
    EXPECT_EQ(result.stats.insertedCount, 2);
    EXPECT_EQ(result.stats.outputCharCount, 9);
}

TEST(Utf16EntryPoint, CrConsumesTheWholePairAfterIt) {
    const auto result = ConvertWide(u"あ\r😀東", test::Keywords({"X"}), 0, true);
    EXPECT_EQ(result.text, u"あ\r\n<>東");
    EXPECT_EQ(result.stats.lineCount, 2);
    EXPECT_EQ(result.stats.outputCharCount, 5);
}

TEST(Utf16EntryPoint, UnpairedSurrogatesAreOrdinaryCharacters) {
    const auto result = ConvertWide(u"あ\xD842あ\xDFB7", test::Keywords({"X"}), 0, true);
    EXPECT_EQ(result.text, u"あ<>\xD842あ<>\xDFB7");
    EXPECT_EQ(result.stats.phraseCount, 2);
    EXPECT_EQ(result.stats.outputCharCount, 8);
}

TEST(Utf16EntryPoint, NeverSplitsAPairOnRandomText) {
    RandomText random(99);
    const std::u16string beyond[] = {u"𠮷", u"😀", u"🎌", u"𩸽", u"ゔ", u"é"};
    for (int iteration = 0; iteration < 800; ++iteration) {
        std::u16string text;
        const std::u16string base = random.Text();
        for (const char16_t c : base) {
            text += c;
            if (c != u'\r' && random.Int(0, 4) == 0) {
                text += beyond[random.Int(0, 5)];
            }
        }
        KeywordList keywords = random.Keywords();
        keywords.Append(u"😀𠮷");
        const int ratio = random.Int(0, 10);
        const auto result = ConvertWide(text, keywords, ratio, random.Int(0, 1) == 1,
                                        static_cast<std::uint32_t>(iteration));
        SCOPED_TRACE(Utf8(text));
        ASSERT_TRUE(Utf16ToUtf8(result.text).has_value()) << "a pair was split";
        ASSERT_EQ(result.stats.outputCharCount, CountedChars(result.text));
        // Nothing but the insertions was added: without them the text is the input,
        // except that a final line break is dropped.
        if (ratio == 0) {
            std::u16string plain = result.text;
            std::erase(plain, u'<');
            std::erase(plain, u'>');
            std::u16string expected = text;
            if (expected.ends_with(u"\r\n")) {
                expected.resize(expected.size() - 2);
            }
            ASSERT_EQ(Utf8(plain), Utf8(expected));
        }
    }
}

TEST(Utf16EntryPoint, EveryUnitIsAParticleExactlyWhenIsParticleCharSaysSo) {
    // Long lines of あ and one unit after another, so that every unit is also classified
    // among many others.
    for (int first = 0; first < 0x10000; first += 512) {
        std::u16string text;
        std::u16string expected;
        int phrases = 0;
        for (int u = first; u < first + 512; ++u) {
            const auto c = static_cast<char16_t>(u);
            if (c == u'\r' || (c >= 0xD800 && c <= 0xDFFF)) {
                continue;
            }
            text += u'あ';
            text += c;
            expected += u'あ';
            if (!IsParticleChar(c)) {
                expected += u"<>";
                ++phrases;
            }
            expected += c;
        }
        const auto result = ConvertWide(text, test::Keywords({"X"}), 0, true);
        ASSERT_EQ(result.text, expected) << "units from " << std::hex << first;
        ASSERT_EQ(result.stats.phraseCount, phrases) << "units from " << std::hex << first;
    }
}

// Insertion points and character counts, the plain way, for lines of any length.
TEST(Utf16EntryPoint, LongAndShortLinesMatchAPlainWalk) {
    std::mt19937 rng(31);
    const std::u16string pieces[] = {u"あ", u"、", u"東", u"ｱ", u"😀", u"\xD842", u"\xDFB7", u"a"};
    for (int iteration = 0; iteration < 3000; ++iteration) {
        std::u16string line;
        const std::size_t length = rng() % 300;
        // Long runs of one kind now and then, so that runs cross every block boundary.
        const bool runs = rng() % 2 == 0;
        while (line.size() < length) {
            const std::u16string& piece = pieces[rng() % 8];
            const std::size_t repeat = runs ? rng() % 70 : 1;
            for (std::size_t r = 0; r < repeat; ++r) {
                line += piece;
            }
        }
        std::u16string expected;
        std::int32_t phrases = 0;
        std::int32_t chars = 0;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const bool phrase = !IsParticleChar(line[i]);
            if (phrase && (i == 0 || IsParticleChar(line[i - 1]))) {
                expected += u"<X>";
                ++phrases;
                chars += 3;
            }
            expected += line[i];
            const bool lowAfterHigh = i > 0 && line[i] >= 0xDC00 && line[i] <= 0xDFFF &&
                                      line[i - 1] >= 0xD800 && line[i - 1] <= 0xDBFF;
            chars += lowAfterHigh ? 0 : 1;
        }
        const auto result = ConvertWide(line + u"\r\n\r\n", test::Keywords({"X"}), 10, true);
        ASSERT_EQ(Utf8(result.text), Utf8(expected + u"\r\n")) << Utf8(line);
        ASSERT_EQ(result.stats.phraseCount, phrases) << Utf8(line);
        ASSERT_EQ(result.stats.insertedCount, phrases) << Utf8(line);
        ASSERT_EQ(result.stats.outputCharCount, chars + 1) << Utf8(line);
        ASSERT_EQ(result.stats.lineCount, 1);
    }
}

TEST(EntryPoints, DenseInsertionsOfLongKeywords) {
    // A phrase at every other character, each with a 132-character keyword and markers.
    const std::u16string keyword(132, u'長');
    KeywordList keywords;
    keywords.Append(keyword);
    std::u16string line;
    std::u16string expected;
    for (int i = 0; i < 300; ++i) {
        line += u"東あ";
        expected += u"<" + keyword + u">東あ";
    }
    Cp932Codec codec;
    for (const std::u16string& text : {line, line + u"\r\n" + line}) {
        RandomSource wideRandom;
        RandomSource narrowRandom;
        const auto wide = ConvertText(text, keywords, ConversionOptions{10, true}, wideRandom);
        const auto narrow =
            ConvertText(codec.Encode(text), keywords, ConversionOptions{10, true}, narrowRandom);
        const std::u16string want =
            text.size() == line.size() ? expected : expected + u"\r\n" + expected;
        EXPECT_TRUE(wide.text == want);
        EXPECT_TRUE(codec.Decode(narrow.text) == want);
        EXPECT_EQ(wide.stats, narrow.stats);
        EXPECT_EQ(wide.stats.outputCharCount,
                  static_cast<std::int32_t>(want.size()) - (text.size() == line.size() ? 0 : 1));
    }
}

// ConvertText is ReadNextLine and ConvertLine over the whole text, however long it is.
std::string LineByLine(std::string_view text, const KeywordList& keywords,
                       const ConversionOptions& options, RandomSource& random,
                       ConversionStats& stats) {
    std::string out;
    std::size_t pos = 0;
    for (NextLine next = ReadNextLine(text, pos); next.found; next = ReadNextLine(text, pos)) {
        out += ConvertLine(next.line, next.isLastLine, keywords, options, random, stats);
        ++stats.lineCount;
    }
    return out;
}

TEST(EntryPoints, LargeTextsConvertAsTheirLinesDo) {
    Cp932Codec codec;
    RandomText random(4242);
    const KeywordList keywords = random.Keywords();
    const std::string endings[] = {"", "\r\n", "\r", "\r\n\r\n"};
    for (int iteration = 0; iteration < 12; ++iteration) {
        std::u16string wide;
        while (wide.size() < 60000) {
            wide += random.Chars(random.Int(0, 8) == 0 ? 0 : 120);
            wide += u"\r\n";
        }
        wide.resize(wide.size() - 2);
        std::string text = codec.Encode(wide) + endings[iteration % 4];
        if (iteration % 3 == 2) {
            // One CR before another byte somewhere in the middle.
            text.insert(text.size() / 2 + random.Int(0, 100), "\rx");
        }
        ConversionOptions options;
        options.insertRatio = random.Int(0, 10);
        options.markInsertions = iteration % 2 == 1;
        const auto seed = static_cast<std::uint32_t>(iteration) * 7919u;

        RandomSource first;
        RandomSource second;
        first.Seed(seed);
        second.Seed(seed);
        const auto whole = ConvertText(text, keywords, options, first);
        ConversionStats stats;
        const std::string lines = LineByLine(text, keywords, options, second, stats);
        SCOPED_TRACE("iteration " + std::to_string(iteration));
        ASSERT_EQ(whole.text.size(), lines.size());
        ASSERT_TRUE(whole.text == lines)
            << "first difference at byte "
            << std::mismatch(lines.begin(), lines.end(), whole.text.begin()).first - lines.begin();
        ASSERT_EQ(whole.stats, stats);
        ASSERT_EQ(first.Next(), second.Next());

        if (iteration % 3 != 2) {
            RandomSource third;
            third.Seed(seed);
            const auto fromWide = ConvertText(codec.Decode(text), keywords, options, third);
            ASSERT_TRUE(fromWide.text == codec.Decode(lines));
            ASSERT_EQ(fromWide.stats, stats);
        }
    }
}

}  // namespace
}  // namespace quillery
