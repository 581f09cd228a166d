// Keyword insertion: the random sequence, line splitting, phrases, insertion points and
// the counters; the code page 932 and the UTF-16 entry points agreeing, and the UTF-16
// one carrying characters beyond the code page.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "engine/Conversion.h"
#include "engine/PlainConversion.h"
#include "tests/engine/TestSupport.h"

namespace quillery {
namespace {

using namespace std::literals;
using test::Bytes;
using test::Keywords;
using test::Seeded;
using test::Sjis;
using test::SjisToUtf8;
using test::Utf8;

// The n-th value (from 0) of a sequence seeded with `seed`.
int NthValue(std::uint32_t seed, int n) {
    RandomSource random = Seeded(seed);
    int value = 0;
    for (int i = 0; i <= n; ++i) {
        value = random.Next();
    }
    return value;
}

struct Converted {
    ConversionResult<std::string> result;
    int nextValue;  // what the RandomSource gives after the conversion
};

Converted Convert(const std::string& bytes, const KeywordList& keywords, int ratio,
                  bool mark = false, std::uint32_t seed = 1) {
    RandomSource random = Seeded(seed);
    Converted run{ConvertText(bytes, keywords, ConversionOptions{ratio, mark}, random), 0};
    run.nextValue = random.Next();
    return run;
}

TEST(RandomSource, ReproducesTheRuntimeSequence) {
    RandomSource random = Seeded(1);
    for (const int value : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358}) {
        EXPECT_EQ(random.Next(), value);
    }
    random.Seed(0);
    EXPECT_EQ(random.Next(), 38);
}

TEST(IsParticleChar, TheFourMarksAndTheHiraganaRangeOnly) {
    for (const char16_t c : u"、。，．ぁあをん"sv) {
        EXPECT_TRUE(IsParticleChar(c)) << std::hex << static_cast<int>(c);
    }
    for (const char16_t c : u"\u3040\u3094\u3099゛゜ゝゞーアｱ｡､,.「」！？・ \t\n\r　東A1\xDC82"sv) {
        EXPECT_FALSE(IsParticleChar(c)) << std::hex << static_cast<int>(c);
    }
}

TEST(WorkedExample, WithAndWithoutMarkers) {
    struct Case {
        bool mark;
        std::string out;
        int chars;
    };
    for (const Case& c :
         {Case{false, Bytes("58 8e84 82cd 58 938c 8b9e 82c9 8d73 82ab 82dc 82b5 82bd 8142"), 13},
          Case{true, Sjis("<X>私は<X>東京に<>行きました。"), 19}}) {
        const Converted run = Convert(Sjis("私は東京に行きました。"), Keywords({"X"}), 5, c.mark);
        EXPECT_EQ(run.result.text, c.out);
        EXPECT_EQ(run.result.stats, (ConversionStats{1, 3, 2, c.chars}));
        EXPECT_EQ(run.nextValue, NthValue(1, 5)) << "draw, pick, draw, pick, draw";
    }
}

// Keyword X at every phrase: where lines are cut, insertions and line breaks go, and the
// counters; the same whole and line by line.
TEST(ConvertText, LinesAndLineBreaks) {
    struct Case {
        std::string text;
        std::string out;
        ConversionStats stats;
    };
    const std::vector<Case> cases{
        {"", "", {}},
        {"\r\n", "", {}},
        {"\r", "", {}},
        {"\r\n\r\n", "\r\n", {1, 0, 0, 1}},
        {"\r\r\r\n", "\r\n", {1, 0, 0, 1}},
        {Sjis("東京\r\n"), Sjis("X東京"), {1, 1, 1, 3}},
        {Sjis("東京\r\n\r\n"), Sjis("X東京\r\n"), {1, 1, 1, 4}},
        {Sjis("東京\r\n\r\n大阪"), Sjis("X東京\r\n\r\nX大阪"), {3, 2, 2, 8}},
        {Sjis("東京\r\n大阪\r"), Sjis("X東京\r\nX大阪"), {2, 2, 2, 7}},
        // A CR takes the byte after it along, also the lead byte of a double-byte
        // character; the trail byte left alone is kept as it is.
        {"ab\rxcd", "Xab\r\nXcd", {2, 2, 2, 7}},
        {"ab\r" + Sjis("東"), "Xab\r\nX\x8C", {2, 2, 2, 6}},
        {"ab\r" + Sjis("東京"), "Xab\r\nX" + Bytes("8c8b 9e"), {2, 2, 2, 7}},
        {Sjis("です\nます"), Sjis("ですX\nます"), {1, 1, 1, 6}},
        // A character counts one whatever its bytes.
        {Sjis("ｶﾀｶﾅ\r\nabc\r\n漢字"), Sjis("Xｶﾀｶﾅ\r\nXabc\r\nX漢字"), {3, 3, 3, 14}}};
    for (const Case& c : cases) {
        const Converted run = Convert(c.text, Keywords({"X"}), 10);
        SCOPED_TRACE(testing::PrintToString(c.text));
        EXPECT_EQ(run.result.text, c.out);
        EXPECT_EQ(run.result.stats, c.stats);
        EXPECT_EQ(run.nextValue, NthValue(1, c.stats.phraseCount + c.stats.insertedCount));
        RandomSource random = Seeded(1);
        ConversionStats stats;
        EXPECT_EQ(test::LineByLine(c.text, Keywords({"X"}), {10, false}, random, stats), c.out);
        EXPECT_EQ(stats, c.stats);
    }
}

// Markers at ratio 0 show every insertion point without inserting anything.
TEST(ConvertText, InsertionPointsStandInFrontOfEveryPhrase) {
    const std::pair<const char*, const char*> cases[] = {
        {"ですます。", "ですます。"},
        {"、。，．ぁん", "、。，．ぁん"},
        {"東京、大阪", "<>東京、<>大阪"},
        {"「東京」", "<>「東京」"},
        {"東京，大阪．", "<>東京，<>大阪．"},
        {"は東京へ", "は<>東京へ"},
        {"あゝあゞあ゛あ゜あーあ", "あ<>ゝあ<>ゞあ<>゛あ<>゜あ<>ーあ"},
        {"あ｡あ､ｱｲｳ", "あ<>｡あ<>､ｱｲｳ"},
        {"あ,あ.あ！あ？あ・あ", "あ<>,あ<>.あ<>！あ<>？あ<>・あ"},
        {"あ あ\tあ　あ", "あ<> あ<>\tあ<>　あ"},
        {"カタカナとABC123", "<>カタカナと<>ABC123"}};
    for (const auto& [text, marked] : cases) {
        const Converted run = Convert(Sjis(text), Keywords({"X"}), 0, true);
        const std::string out = SjisToUtf8(run.result.text);
        EXPECT_EQ(out, marked);
        EXPECT_EQ(run.result.stats.phraseCount, std::count(out.begin(), out.end(), '<')) << text;
        EXPECT_EQ(run.result.stats.insertedCount, 0) << text;
    }
}

TEST(InsertRatio, ZeroNeverInsertsTenAlwaysDoesBothDrawOncePerPhrase) {
    const std::string text = Sjis("東京、大阪\r\nそして京都と奈良。\r\nです");
    Converted run = Convert(text, Keywords({"X", "Y"}), 0, false, 777);
    EXPECT_EQ(run.result.text, text);
    EXPECT_EQ(run.result.stats, (ConversionStats{3, 4, 0, 18}));
    EXPECT_EQ(run.nextValue, NthValue(777, 4));
    run = Convert(text, Keywords({"X"}), 10, false, 777);
    EXPECT_EQ(SjisToUtf8(run.result.text), "X東京、X大阪\r\nそしてX京都とX奈良。\r\nです");
    EXPECT_EQ(run.result.stats.insertedCount, 4);
    EXPECT_EQ(run.nextValue, NthValue(777, 8)) << "a draw and a pick per phrase";
    // A hand-edited settings file may give any ratio; it is used as it is.
    for (const int ratio : {-1, INT32_MIN, 11, INT32_MAX}) {
        EXPECT_EQ(Convert(text, Keywords({"X"}), ratio).result.stats.insertedCount,
                  ratio < 0 ? 0 : 4)
            << ratio;
    }
}

// The pick is the value after the draw modulo the list's size, also for lists longer
// than the values reach.
TEST(InsertRatio, PickIsTheNextValueModuloTheListSize) {
    std::u16string text;
    for (int i = 0; i < 20000; ++i) {
        text += u"東、";
    }
    for (const std::uint32_t size :
         {1u, 2u, 3u, 7u, 10u, 1000u, 4097u, 32767u, 32768u, 32769u, 40000u}) {
        KeywordList keywords;
        for (std::uint32_t k = 0; k < size; ++k) {
            keywords.Append(
                {static_cast<char16_t>(0x4E00 + k % 20000), char16_t(u'0' + k / 20000)});
        }
        RandomSource expectedRandom = Seeded(size);
        std::u16string expected;
        for (int i = 0; i < 20000; ++i) {
            expectedRandom.Next();  // the draw, true at ratio 10
            expected +=
                keywords[static_cast<std::uint32_t>(expectedRandom.Next()) % size] + u"東、";
        }
        RandomSource random = Seeded(size);
        const auto result = ConvertText(std::u16string_view(text), keywords, {10, false}, random);
        ASSERT_TRUE(result.text == expected) << "list of " << size;
    }
}

TEST(Keywords, AnEmptyOneCountsButAddsNothingATrailingSpaceIsKept) {
    const std::string text = Sjis("東京、大阪");
    Converted run = Convert(text, Keywords({""}), 10);
    EXPECT_EQ(run.result.text, text);
    EXPECT_EQ(run.result.stats, (ConversionStats{1, 2, 2, 5}));
    run = Convert(text, Keywords({""}), 10, true);
    EXPECT_EQ(SjisToUtf8(run.result.text), "<>東京、<>大阪");
    EXPECT_EQ(run.result.stats, (ConversionStats{1, 2, 2, 9}));
    run = Convert(Sjis("東京"), Keywords({"春 "}), 10);
    EXPECT_EQ(SjisToUtf8(run.result.text), "春 東京");
    EXPECT_EQ(run.result.stats.outputCharCount, 4);
}

TEST(LongLines, AreConvertedInFull) {
    for (const int repeats : {1365, 3333}) {  // 4095 and 9999 characters
        std::string line;
        std::string expected;
        for (int i = 0; i < repeats; ++i) {
            line += Sjis("東京は");
            expected += Sjis("X東京は");
        }
        const Converted run = Convert(line + "\r\n" + Sjis("終"), Keywords({"X"}), 10);
        EXPECT_EQ(run.result.text, expected + "\r\nX" + Sjis("終"));
        EXPECT_EQ(run.result.stats,
                  (ConversionStats{2, repeats + 1, repeats + 1, 4 * repeats + 3}));
    }
}

// ---------------------------------------------------------------------------------------

// What Japanese text is made of, all in the code page: kanji of both levels and the
// extensions, kana of both widths, particles, marks, Latin letters, digits, blanks.
const std::u16string kPool = test::U16(
    "私東京大阪行来見聞話書読雨風春夏秋冬空海山川花鳥月星心夢時間人生世界日本語文字髙纊褜鍈①②"
    "⑩㈱№℡ⅰⅱⅠⅡ∵≒￢∫㍉㌔はにをがでともへやのかなりましたですすることあいうえおんぁゃっ、。，．"
    "アイウエオカタカナコーヒーヴァｱｲｳｴｵｶﾀｶﾅｺｰﾋｰ｡､ﾞﾟゝゞ゛゜ー「」『』（）！？・…―～＼"
    "ABCxyz0123456789 ,.!?\\~\t　\n");

std::u16string RandomChars(std::mt19937& rng, std::size_t maxLength) {
    std::u16string out(rng() % (maxLength + 1), u' ');
    for (char16_t& c : out) {
        c = kPool[rng() % kPool.size()];
    }
    return out;
}

// Lines joined by CR LF, a quarter of them empty, now and then a final CR LF.
std::u16string RandomText(std::mt19937& rng, std::size_t lines, std::size_t lineLength) {
    std::u16string text;
    for (std::size_t i = 0; i < lines; ++i) {
        text += (i > 0 ? u"\r\n" : u"") + (rng() % 4 == 0 ? u"" : RandomChars(rng, lineLength));
    }
    return rng() % 4 == 0 ? text + u"\r\n" : text;
}

KeywordList RandomKeywords(std::mt19937& rng) {
    KeywordList list;
    for (std::size_t i = 0, n = 1 + rng() % 20; i < n; ++i) {
        std::u16string keyword = RandomChars(rng, 12);
        std::erase(keyword, u'\n');
        list.Append(keyword);
    }
    return list;
}

// Texts small and past the size converted in pieces: the narrow entry point gives what
// ReadNextLine and ConvertText give line by line, and the UTF-16 one the same decoded,
// but where a CR stands before another byte (which a pane never holds).
TEST(EntryPoints, AgreeOnRandomCodePage932Text) {
    ASSERT_EQ(ThreadCodec().Decode(ThreadCodec().Encode(kPool)), kPool);
    std::mt19937 rng(20240607);
    const std::string endings[] = {"", "\r", "\r\n\r\n"};
    for (int iteration = 0; iteration < 1500; ++iteration) {
        const bool large = iteration % 200 == 0;
        const std::u16string wideText = RandomText(rng, large ? 800 : rng() % 13, large ? 120 : 80);
        std::string text = ThreadCodec().Encode(wideText) + endings[rng() % 3];
        const bool loneCr = iteration % 7 == 0;
        if (loneCr) {
            text.insert(rng() % (text.size() + 1), "\rx");
        }
        const KeywordList keywords = RandomKeywords(rng);
        const ConversionOptions options{static_cast<std::int32_t>(rng() % 11), rng() % 2 == 0};
        const std::uint32_t seed = rng();
        RandomSource narrowRandom = Seeded(seed), linesRandom = Seeded(seed),
                     wideRandom = Seeded(seed);
        const auto narrow = ConvertText(text, keywords, options, narrowRandom);
        ConversionStats stats;
        const std::string lines = test::LineByLine(text, keywords, options, linesRandom, stats);
        SCOPED_TRACE("iteration " + std::to_string(iteration) + " " +
                     (large ? "" : test::SjisToUtf8(text)));
        ASSERT_TRUE(narrow.text == lines)
            << "first difference at byte "
            << std::ranges::mismatch(lines, narrow.text).in1 - lines.begin();
        ASSERT_EQ(narrow.stats, stats);
        const int next = narrowRandom.Next();
        ASSERT_EQ(linesRandom.Next(), next);
        if (!loneCr) {
            const std::u16string decoded = ThreadCodec().Decode(text);
            const auto wide =
                ConvertText(std::u16string_view(decoded), keywords, options, wideRandom);
            ASSERT_EQ(Utf8(wide.text), Utf8(ThreadCodec().Decode(narrow.text)));
            ASSERT_EQ(wide.stats, stats);
            ASSERT_EQ(wideRandom.Next(), next);
            // Every CR of the output is part of a line break, which counts once.
            ASSERT_EQ(stats.outputCharCount,
                      std::ssize(wide.text) - std::ranges::count(wide.text, u'\r'));
        }
    }
}

// The fast conversion against the plain walk on random text: long lines and short ones,
// pairs and lone surrogates, lone CRs, dense phrases, lists longer than the random values
// reach, every ratio, with and without markers.
TEST(Utf16EntryPoint, AgreesWithThePlainWalk) {
    std::mt19937 rng(7);
    const std::u16string extras[] = {u"😀", u"\xD842", u"\xDFB7", u"\r", u"\r😀", u"、", u"あ"};
    for (int iteration = 0; iteration < 2000; ++iteration) {
        std::u16string text = RandomText(rng, rng() % 6, iteration % 50 == 0 ? 400 : 150);
        for (std::size_t k = rng() % 6; k > 0; --k) {
            text.insert(rng() % (text.size() + 1), extras[rng() % std::size(extras)]);
        }
        KeywordList keywords = RandomKeywords(rng);
        if (iteration % 100 == 0) {
            for (std::uint32_t k = 0; k < 33000; ++k) {
                keywords.Append({static_cast<char16_t>(0x4E00 + k % 20000), char16_t(u'0' + k / 20000)});
            }
        }
        const ConversionOptions options{static_cast<std::int32_t>(rng() % 11), rng() % 2 == 0};
        const std::uint32_t seed = rng();
        RandomSource fastRandom = Seeded(seed), plainRandom = Seeded(seed);
        const auto fast = ConvertText(std::u16string_view(text), keywords, options, fastRandom);
        const auto plain = ConvertTextPlainly(text, keywords, options, plainRandom);
        SCOPED_TRACE("iteration " + std::to_string(iteration) + " " + Utf8(text));
        ASSERT_EQ(Utf8(fast.text), Utf8(plain.text));
        ASSERT_EQ(fast.stats, plain.stats);
        ASSERT_EQ(fastRandom.Next(), plainRandom.Next());
    }
}

ConversionResult<std::u16string> ConvertWide(std::u16string_view text, const KeywordList& keywords,
                                             int ratio, bool mark) {
    RandomSource random = Seeded(1);
    return ConvertText(text, keywords, {ratio, mark}, random);
}

TEST(Utf16EntryPoint, CharactersBeyondTheCodePagePassThroughAsOneCharacterEach) {
    auto result = ConvertWide(u"𠮷野家で😀を食べた。", Keywords({"X"}), 0, true);
    EXPECT_EQ(Utf8(result.text), "<>𠮷野家で<>😀を<>食べた。");
    EXPECT_EQ(result.stats, (ConversionStats{1, 3, 0, 16}));
    KeywordList pairs;
    pairs.Append(u"𠮷😀");
    result = ConvertWide(u"東京\r\n大阪", pairs, 10, false);
    EXPECT_EQ(result.text, u"𠮷😀東京\r\n𠮷😀大阪");
    EXPECT_EQ(result.stats, (ConversionStats{2, 2, 2, 9}));
    // A CR takes the whole pair after it; unpaired surrogates are ordinary characters.
    result = ConvertWide(u"あ\r😀東", Keywords({"X"}), 0, true);
    EXPECT_EQ(result.text, u"あ\r\n<>東");
    EXPECT_EQ(result.stats, (ConversionStats{2, 1, 0, 5}));
    result = ConvertWide(u"あ\xD842あ\xDFB7", Keywords({"X"}), 0, true);
    EXPECT_EQ(result.text, u"あ<>\xD842あ<>\xDFB7");
    EXPECT_EQ(result.stats, (ConversionStats{1, 2, 0, 8}));
}

// Every unit on its own in a short line and among many others in a long one, which are
// classified in different ways.
TEST(Utf16EntryPoint, EveryUnitStartsAPhraseExactlyWhenItIsNoParticle) {
    for (int first = 0; first < 0x10000; first += 512) {
        std::u16string text;
        std::u16string expected;
        std::u16string alone;
        for (int u = first; u < first + 512; ++u) {
            const auto c = static_cast<char16_t>(u);
            if (c != u'\r' && (c < 0xD800 || c > 0xDFFF)) {
                text += {u'あ', c};
                expected += IsParticleChar(c) ? std::u16string{u'あ', c}
                                              : std::u16string{u'あ', u'<', u'>', c};
                alone += ConvertWide(std::u16string{u'あ', c}, Keywords({"X"}), 0, true).text;
            }
        }
        ASSERT_EQ(alone, expected) << "units from " << std::hex << first;
        ASSERT_EQ(ConvertWide(text, Keywords({"X"}), 0, true).text, expected)
            << "units from " << std::hex << first;
    }
}

// Insertion points and character counts the plain way, on lines of any length with runs
// that cross every block boundary, phrases as dense as they come, keywords short and long.
TEST(Utf16EntryPoint, LinesMatchAPlainWalk) {
    std::mt19937 rng(31);
    const std::u16string pieces[] = {u"あ",     u"、",     u"東", u"ｱ",   u"😀",
                                     u"\xD842", u"\xDFB7", u"a",  u"東あ"};
    for (int iteration = 0; iteration < 3000; ++iteration) {
        const std::u16string keyword(iteration % 10 == 0 ? 132 : 1, u'長');
        KeywordList keywords;
        keywords.Append(keyword);
        std::u16string line;
        const std::size_t length = rng() % 300;
        const bool runs = rng() % 2 == 0;
        while (line.size() < length) {
            const std::u16string& piece = pieces[rng() % std::size(pieces)];
            for (std::size_t r = runs ? rng() % 70 : 1; r > 0; --r) {
                line += piece;
            }
        }
        std::u16string expected;
        std::int32_t phrases = 0;
        std::int32_t chars = 0;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (!IsParticleChar(line[i]) && (i == 0 || IsParticleChar(line[i - 1]))) {
                expected += u"<" + keyword + u">";
                ++phrases;
                chars += static_cast<std::int32_t>(keyword.size()) + 2;
            }
            expected += line[i];
            const bool pair =
                i > 0 && (line[i] & 0xFC00) == 0xDC00 && (line[i - 1] & 0xFC00) == 0xD800;
            chars += pair ? 0 : 1;
        }
        const auto result = ConvertWide(line + u"\r\n\r\n", keywords, 10, true);
        SCOPED_TRACE(Utf8(line));
        ASSERT_EQ(Utf8(result.text), Utf8(expected + u"\r\n"));
        ASSERT_EQ(result.stats, (ConversionStats{1, phrases, phrases, chars + 1}));
    }
}

}  // namespace
}  // namespace quillery
