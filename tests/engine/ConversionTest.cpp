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

TEST(IsParticleChar, TheFourMarksAndTheHiraganaRangeOnly) {
    for (const char16_t c : u"、。，．ぁあをん\u3040\u3094゛ゝーア､,.「・　東\xDC82"sv) {
        EXPECT_EQ(IsParticleChar(c), u"、。，．ぁあをん"sv.find(c) != std::u16string_view::npos)
            << std::hex << static_cast<int>(c);
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
    const std::string three = Sjis("東京、大阪\r\nそして京都と奈良。\r\nです");
    const std::string threeX = Sjis("X東京、X大阪\r\nそしてX京都とX奈良。\r\nです");
    const std::vector<Case> cases{
        {Sjis("私は東京に行きました。"),
         Sjis("<X>私は<X>東京に<>行きました。"),
         {1, 3, 2, 19},
         5,
         true},
        {"", "", {}},
        {"\r\n\r\n", "\r\n", {1, 0, 0, 1}},
        {Sjis("東京\r\n\r\n大阪"), Sjis("X東京\r\n\r\nX大阪"), {3, 2, 2, 8}},
        {Sjis("東京\r\n大阪\r"), Sjis("X東京\r\nX大阪"), {2, 2, 2, 7}},
        // A CR takes the byte after it along, a lead byte too; its trail byte stays alone.
        {"ab\rxcd", "Xab\r\nXcd", {2, 2, 2, 7}},
        {"ab\r" + Sjis("東京"), "Xab\r\nX" + test::Bytes("8c8b 9e"), {2, 2, 2, 7}},
        {Sjis("です\nます"), Sjis("ですX\nます"), {1, 1, 1, 6}},
        {Sjis("「東京」は、ABC123"), Sjis("<>「東京」は、<>ABC123"), {1, 2, 0, 16}, 0, true},
        // Ratio 0 never inserts, 10 always; a hand-edited ratio out of range is used as it is.
        {three, three, {3, 4, 0, 18}, 0, false, {"X", "Y"}},
        {three, threeX, {3, 4, 4, 22}},
        {three, threeX, {3, 4, 4, 22}, 11},
        // An empty keyword counts but adds nothing; a trailing blank is kept.
        {Sjis("東京、大阪"), Sjis("<>東京、<>大阪"), {1, 2, 2, 9}, 10, true, {""}},
        {Sjis("東京"), Sjis("春 東京"), {1, 1, 1, 4}, 10, false, {"春 "}},
        // A long line (9999 characters) is converted in full.
        {Repeat(Sjis("東京は"), 3333) + "\r\n" + Sjis("終"),
         Repeat(Sjis("X東京は"), 3333) + "\r\nX" + Sjis("終"),
         {2, 3334, 3334, 13335}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text.substr(0, 40)) + " ratio " +
                     std::to_string(c.ratio));
        RandomSource random = Seeded(1), expected = Seeded(1);
        const auto result = ConvertText(c.text, Keywords(c.keywords), {c.ratio, c.mark}, random);
        EXPECT_EQ(result.text, c.out);
        EXPECT_EQ(result.stats, c.stats);
        for (int i = c.stats.phraseCount + c.stats.insertedCount; i > 0; --i) {
            expected.Next();
        }
        EXPECT_EQ(random.Next(), expected.Next());
    }
}

// What Japanese text is made of, all in code page 932 and its extensions.
const std::u16string kPool = test::U16(
    "私東京大阪行来見話書雨風春空海花月髙纊褜鍈①㈱№ⅰⅡ∵≒￢㍉はにをがでともへやのかなりましたすあんぁ"
    "ゃっ"
    "、。，．アイカタナコーヒーヴァｱｲｶﾀﾅｺｰ｡､ﾞﾟゝゞ゛゜ー「」（）！？・…―～＼ABCxyz019 "
    ",.!?\\~\t　\n");

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

// Runs of one piece cross every block boundary and make phrases as dense as they come.
// The narrow entry point, on the text's code page 932 bytes, gives the UTF-16 output
// encoded when no CR comes before a double-byte character (which it would take apart).
// The code page 932 output handed on piece by piece is the output kept whole, with the
// same counts and draws; returns the number of pieces.
int ExpectTheSameHandedOnInPieces(const std::string& bytes, const KeywordList& keywords,
                                  const ConversionOptions& options, std::uint32_t seed) {
    RandomSource keptRandom = Seeded(seed), piecesRandom = Seeded(seed);
    const auto kept = ConvertText(bytes, keywords, options, keptRandom);
    std::string joined;
    int pieces = 0;
    const ConversionStats stats =
        ConvertText(bytes, keywords, options, piecesRandom, [&](std::string_view piece) {
            EXPECT_FALSE(piece.empty());
            joined += piece;
            ++pieces;
        });
    EXPECT_TRUE(joined == kept.text);
    EXPECT_EQ(stats, kept.stats);
    EXPECT_EQ(keptRandom.Next(), piecesRandom.Next());
    return pieces;
}

// Long text goes out in many pieces, also where a CR that does not end a line makes the
// rest go line by line.
TEST(ConvertText, LongTextHandedOnInPieces) {
    const std::string line = Sjis("吾輩は猫である。名前はまだ無い。東京、大阪\r\n");
    const std::string text = Repeat(line, 6000) + "\r" + Repeat(line, 6000) + Sjis("です");
    const KeywordList keywords = test::Keywords({"鍵", "キーワード", ""});
    for (const bool mark : {false, true}) {
        EXPECT_GT(ExpectTheSameHandedOnInPieces(text, keywords, {7, mark}, 3), 10);
    }
    EXPECT_EQ(ExpectTheSameHandedOnInPieces("", keywords, {7, false}, 3), 0);
}

TEST(EntryPoints, AgreeWithThePlainWalkAndEachOther) {
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

        const std::string bytes = ThreadCodec().Encode(text);
        ExpectTheSameHandedOnInPieces(bytes, keywords, options, seed);
        bool crTakesApart = false;
        for (std::size_t i = bytes.find('\r'); i != std::string::npos;
             i = bytes.find('\r', i + 1)) {
            crTakesApart =
                crTakesApart ||
                (i + 1 < bytes.size() && IsCp932LeadByte(static_cast<unsigned char>(bytes[i + 1])));
        }
        if (!crTakesApart) {
            RandomSource narrowRandom = Seeded(seed), wideRandom = Seeded(seed);
            const auto narrow = ConvertText(bytes, keywords, options, narrowRandom);
            const std::u16string decoded = ThreadCodec().Decode(bytes);
            const auto wide =
                ConvertText(std::u16string_view(decoded), keywords, options, wideRandom);
            ASSERT_TRUE(narrow.text == ThreadCodec().Encode(wide.text));
            ASSERT_EQ(narrow.stats, wide.stats);
            ASSERT_EQ(narrowRandom.Next(), wideRandom.Next());
        }
    }
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
          Case{u"あ\r😀東", "X", 0, u"あ\r\n<>東", {2, 1, 0, 5}}}) {
        RandomSource random = Seeded(1);
        const auto result = ConvertText(c.text, Keywords({c.keyword}), {c.ratio, true}, random);
        EXPECT_EQ(Utf8(result.text), Utf8(c.out));
        EXPECT_EQ(result.stats, c.stats) << Utf8(c.text);
    }
}

}  // namespace
}  // namespace quillery
