// Keyword insertion: lines, phrases, insertion points, counters and the random sequence.

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
using test::Repeat;
using test::Seeded;
using test::Sjis;
using test::Utf8;

// `size` distinct keywords, more than the random values reach when asked.
KeywordList Numbered(std::uint32_t size) {
    KeywordList keywords;
    for (std::uint32_t k = 0; k < size; ++k) {
        keywords.Append({static_cast<char16_t>(0x4E00 + k % 20000), char16_t(u'0' + k / 20000)});
    }
    return keywords;
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

// Seed 1; a draw per phrase and a pick per insertion move the random sequence on.
TEST(ConvertText, OutputCountersAndDraws) {
    struct Case {
        std::string text;
        std::string out;
        ConversionStats stats;
        std::int32_t ratio = 10;
        bool mark = false;
        std::vector<std::string> keywords = {"X"};
    };
    const std::string example = Sjis("私は東京に行きました。");
    const std::string three = Sjis("東京、大阪\r\nそして京都と奈良。\r\nです");
    const std::string threeX = Sjis("X東京、X大阪\r\nそしてX京都とX奈良。\r\nです");
    const std::vector<Case> cases{
        {example,
         Bytes("58 8e84 82cd 58 938c 8b9e 82c9 8d73 82ab 82dc 82b5 82bd 8142"),
         {1, 3, 2, 13},
         5},
        {example, Sjis("<X>私は<X>東京に<>行きました。"), {1, 3, 2, 19}, 5, true},
        {"", "", {}},
        {"\r\n", "", {}},
        {"\r", "", {}},
        {"\r\n\r\n", "\r\n", {1, 0, 0, 1}},
        {"\r\r\r\n", "\r\n", {1, 0, 0, 1}},
        {Sjis("東京\r\n"), Sjis("X東京"), {1, 1, 1, 3}},
        {Sjis("東京\r\n\r\n"), Sjis("X東京\r\n"), {1, 1, 1, 4}},
        {Sjis("東京\r\n\r\n大阪"), Sjis("X東京\r\n\r\nX大阪"), {3, 2, 2, 8}},
        {Sjis("東京\r\n大阪\r"), Sjis("X東京\r\nX大阪"), {2, 2, 2, 7}},
        // A CR takes the byte after it along, a lead byte too; its trail byte stays alone.
        {"ab\rxcd", "Xab\r\nXcd", {2, 2, 2, 7}},
        {"ab\r" + Sjis("東"), "Xab\r\nX\x8C", {2, 2, 2, 6}},
        {"ab\r" + Sjis("東京"), "Xab\r\nX" + Bytes("8c8b 9e"), {2, 2, 2, 7}},
        {Sjis("です\nます"), Sjis("ですX\nます"), {1, 1, 1, 6}},
        // A character counts one whatever its bytes.
        {Sjis("ｶﾀｶﾅ\r\nabc\r\n漢字"), Sjis("Xｶﾀｶﾅ\r\nXabc\r\nX漢字"), {3, 3, 3, 14}},
        {Sjis("「東京」は、ABC123"), Sjis("<>「東京」は、<>ABC123"), {1, 2, 0, 16}, 0, true},
        {Sjis("、。，．ぁん"), Sjis("、。，．ぁん"), {1, 0, 0, 6}, 0, true},
        // Ratio 0 never inserts, 10 always; a hand-edited ratio out of range is used as it is.
        {three, three, {3, 4, 0, 18}, 0, false, {"X", "Y"}},
        {three, threeX, {3, 4, 4, 22}},
        {three, three, {3, 4, 0, 18}, -1},
        {three, three, {3, 4, 0, 18}, INT32_MIN},
        {three, threeX, {3, 4, 4, 22}, 11},
        {three, threeX, {3, 4, 4, 22}, INT32_MAX},
        // An empty keyword counts but adds nothing; a trailing blank is kept.
        {Sjis("東京、大阪"), Sjis("東京、大阪"), {1, 2, 2, 5}, 10, false, {""}},
        {Sjis("東京、大阪"), Sjis("<>東京、<>大阪"), {1, 2, 2, 9}, 10, true, {""}},
        {Sjis("東京"), Sjis("春 東京"), {1, 1, 1, 4}, 10, false, {"春 "}},
        // Long lines (4095 and 9999 characters) are converted in full.
        {Repeat(Sjis("東京は"), 1365) + "\r\n" + Sjis("終"),
         Repeat(Sjis("X東京は"), 1365) + "\r\nX" + Sjis("終"),
         {2, 1366, 1366, 5463}},
        {Repeat(Sjis("東京は"), 3333) + "\r\n" + Sjis("終"),
         Repeat(Sjis("X東京は"), 3333) + "\r\nX" + Sjis("終"),
         {2, 3334, 3334, 13335}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text.substr(0, 40)) + " ratio " +
                     std::to_string(c.ratio));
        const KeywordList keywords = Keywords(c.keywords);
        RandomSource random = Seeded(1);
        const auto result = ConvertText(c.text, keywords, {c.ratio, c.mark}, random);
        EXPECT_EQ(result.text, c.out);
        EXPECT_EQ(result.stats, c.stats);
        RandomSource expected = Seeded(1);
        for (int i = c.stats.phraseCount + c.stats.insertedCount; i > 0; --i) {
            expected.Next();
        }
        EXPECT_EQ(random.Next(), expected.Next());
    }
}

// The pick is the value after the draw modulo the list's size, however long the list.
TEST(InsertRatio, PickIsTheNextValueModuloTheListSize) {
    const std::u16string text = Repeat(u"東、"s, 20000);
    for (const std::uint32_t size :
         {1u, 2u, 3u, 7u, 10u, 1000u, 4097u, 32767u, 32768u, 32769u, 40000u}) {
        const KeywordList keywords = Numbered(size);
        RandomSource expectedRandom = Seeded(size), random = Seeded(size);
        std::u16string expected;
        for (int i = 0; i < 20000; ++i) {
            expectedRandom.Next();  // the draw, true at ratio 10
            expected +=
                keywords[static_cast<std::uint32_t>(expectedRandom.Next()) % size] + u"東、";
        }
        ASSERT_TRUE(ConvertText(std::u16string_view(text), keywords, {10, false}, random).text ==
                    expected)
            << "list of " << size;
    }
}

// What Japanese text is made of, all in code page 932 and its extensions.
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

// Small texts and texts of many pieces: the narrow output is the UTF-16 one encoded. A CR
// before a single-byte character takes it along in both.
TEST(EntryPoints, AgreeOnRandomCodePage932Text) {
    ASSERT_EQ(ThreadCodec().Decode(ThreadCodec().Encode(kPool)), kPool);
    std::mt19937 rng(20240607);
    const std::string endings[] = {"", "\r", "\r\n\r\n"};
    for (int iteration = 0; iteration < 1500; ++iteration) {
        const bool large = iteration % 200 == 0;
        std::string text =
            ThreadCodec().Encode(RandomText(rng, large ? 800 : rng() % 13, large ? 120 : 80)) +
            endings[rng() % 3];
        if (iteration % 7 == 0) {
            text.insert(rng() % (text.size() + 1), "\rx");
        }
        const KeywordList keywords = RandomKeywords(rng);
        const ConversionOptions options{static_cast<std::int32_t>(rng() % 11), rng() % 2 == 0};
        const std::uint32_t seed = rng();
        RandomSource narrowRandom = Seeded(seed), wideRandom = Seeded(seed);
        const auto narrow = ConvertText(text, keywords, options, narrowRandom);
        const std::u16string decoded = ThreadCodec().Decode(text);
        const auto wide = ConvertText(std::u16string_view(decoded), keywords, options, wideRandom);
        SCOPED_TRACE("iteration " + std::to_string(iteration) + " " +
                     (large ? "" : test::SjisToUtf8(text)));
        ASSERT_EQ(Utf8(ThreadCodec().Decode(narrow.text)), Utf8(wide.text));
        ASSERT_TRUE(narrow.text == ThreadCodec().Encode(wide.text));
        ASSERT_EQ(narrow.stats, wide.stats);
        ASSERT_EQ(narrowRandom.Next(), wideRandom.Next());
        // Every CR of the output is part of a line break, which counts once.
        ASSERT_EQ(wide.stats.outputCharCount,
                  std::ssize(wide.text) - std::ranges::count(wide.text, u'\r'));
    }
}

// Runs of one piece cross every block boundary and make phrases as dense as they come.
TEST(Utf16EntryPoint, AgreesWithThePlainWalk) {
    std::mt19937 rng(7);
    const std::u16string pieces[] = {u"😀",  u"\xD842", u"\xDFB7", u"\r", u"\r😀",
                                     u"、", u"あ",     u"東あ",   u"ｱ",  u"a"};
    for (int iteration = 0; iteration < 4000; ++iteration) {
        std::u16string text = RandomText(rng, rng() % 6, iteration % 50 == 0 ? 400 : 150);
        for (std::size_t k = rng() % 6; k > 0; --k) {
            const std::u16string run =
                Repeat(pieces[rng() % std::size(pieces)],
                       iteration % 2 == 0 ? 1 : static_cast<int>(rng() % 70));
            text.insert(rng() % (text.size() + 1), run);
        }
        KeywordList keywords = iteration % 100 == 0 ? Numbered(33000) : RandomKeywords(rng);
        if (iteration % 10 == 0) {
            keywords.Append(std::u16string(132, u'長'));
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

// A pair is one character, which a CR takes along whole; lone surrogates are characters.
TEST(Utf16EntryPoint, CharactersBeyondTheCodePagePassThroughAsOneCharacterEach) {
    struct Case {
        std::u16string_view text;
        const char* keyword;
        int ratio;
        std::u16string_view out;
        ConversionStats stats;
    };
    for (const Case& c :
         {Case{u"𠮷野家で😀を食べた。", "X", 0, u"<>𠮷野家で<>😀を<>食べた。", {1, 3, 0, 16}},
          Case{u"東京\r\n大阪", "𠮷😀", 10, u"<𠮷😀>東京\r\n<𠮷😀>大阪", {2, 2, 2, 13}},
          Case{u"あ\r😀東", "X", 0, u"あ\r\n<>東", {2, 1, 0, 5}},
          Case{u"あ\xD842あ\xDFB7", "X", 0, u"あ<>\xD842あ<>\xDFB7", {1, 2, 0, 8}}}) {
        const auto result = ConvertWide(c.text, Keywords({c.keyword}), c.ratio, true);
        EXPECT_EQ(Utf8(result.text), Utf8(c.out));
        EXPECT_EQ(result.stats, c.stats) << Utf8(c.text);
    }
}

// Short lines and long ones are classified in different ways.
TEST(Utf16EntryPoint, EveryUnitStartsAPhraseExactlyWhenItIsNoParticle) {
    for (int first = 0; first < 0x10000; first += 512) {
        std::u16string text, expected, alone;
        for (int u = first; u < first + 512; ++u) {
            const auto c = static_cast<char16_t>(u);
            if (c == u'\r' || IsHighSurrogate(c) || IsLowSurrogate(c)) {
                continue;
            }
            const std::u16string pair{u'あ', c};
            text += pair;
            expected += IsParticleChar(c) ? pair : std::u16string{u'あ', u'<', u'>', c};
            alone += ConvertWide(pair, Keywords({"X"}), 0, true).text;
        }
        SCOPED_TRACE(testing::Message() << "units from " << std::hex << first);
        ASSERT_EQ(alone, expected);
        ASSERT_EQ(ConvertWide(text, Keywords({"X"}), 0, true).text, expected);
    }
}

}  // namespace
}  // namespace quillery
