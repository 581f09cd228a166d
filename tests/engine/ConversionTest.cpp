// Keyword insertion on code page 932 text: the random sequence, line splitting, phrases,
// insertion points and the counters.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Conversion.h"
#include "engine/RandomSource.h"
#include "tests/engine/TestSupport.h"

namespace quillery {
namespace {

using test::Bytes;
using test::Keywords;
using test::Sjis;
using test::SjisToUtf8;

// The n-th value (from 0) of a sequence seeded with `seed`.
int NthValue(std::uint32_t seed, int n) {
    RandomSource random;
    random.Seed(seed);
    int value = 0;
    for (int i = 0; i <= n; ++i) {
        value = random.Next();
    }
    return value;
}

struct Converted {
    ConversionResult<std::string> result;
    int nextValue;  // the value the RandomSource gives after the conversion
};

Converted Convert(const std::string& bytes, const KeywordList& keywords, int ratio,
                  bool mark = false, std::uint32_t seed = 1) {
    RandomSource random;
    random.Seed(seed);
    ConversionOptions options;
    options.insertRatio = ratio;
    options.markInsertions = mark;
    Converted run{ConvertText(bytes, keywords, options, random), 0};
    run.nextValue = random.Next();
    return run;
}

// ---------------------------------------------------------------------------------------

TEST(RandomSource, SeedOneGivesTheRuntimeSequence) {
    RandomSource random;
    random.Seed(1);
    const std::vector<int> expected{41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
    std::vector<int> got;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        got.push_back(random.Next());
    }
    EXPECT_EQ(got, expected);
}

TEST(RandomSource, SeedingAgainRestartsTheSequence) {
    RandomSource random;
    random.Seed(1);
    random.Next();
    random.Next();
    random.Seed(1);
    EXPECT_EQ(random.Next(), 41);
    random.Seed(0);
    EXPECT_EQ(random.Next(), 38);
}

TEST(RandomSource, ValuesStayWithin15BitsForAnySeed) {
    for (const std::uint32_t seed : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        RandomSource random;
        random.Seed(seed);
        for (int i = 0; i < 1000; ++i) {
            const int v = random.Next();
            ASSERT_GE(v, 0);
            ASSERT_LE(v, 32767);
        }
    }
}

TEST(DrawInsertion, ConsumesExactlyOneValueAtEveryRatio) {
    for (int ratio = 0; ratio <= 10; ++ratio) {
        RandomSource random;
        random.Seed(1);
        // 41 mod 10 = 1: true from ratio 2 on.
        EXPECT_EQ(DrawInsertion(random, ratio), ratio > 1) << "ratio " << ratio;
        EXPECT_EQ(random.Next(), 18467) << "ratio " << ratio;
    }
}

TEST(DrawInsertion, RatioZeroNeverAndTenAlways) {
    RandomSource never;
    RandomSource always;
    never.Seed(12345);
    always.Seed(12345);
    for (int i = 0; i < 2000; ++i) {
        ASSERT_FALSE(DrawInsertion(never, 0));
        ASSERT_TRUE(DrawInsertion(always, 10));
    }
}

TEST(IsParticleChar, HiraganaRangeAndTheFourMarks) {
    for (char16_t c = 0x3041; c <= 0x3093; ++c) {
        EXPECT_TRUE(IsParticleChar(c)) << std::hex << static_cast<int>(c);
    }
    for (const char16_t c : {u'、', u'。', u'，', u'．'}) {
        EXPECT_TRUE(IsParticleChar(c)) << std::hex << static_cast<int>(c);
    }
    // Just outside the range, the marks beside it and look-alikes.
    for (const char16_t c : {char16_t{0x3040},
                             char16_t{0x3094},
                             char16_t{0x3099},
                             u'゛',
                             u'゜',
                             u'ゝ',
                             u'ゞ',
                             u'ー',
                             u'ア',
                             u'ｱ',
                             u'｡',
                             u'､',
                             u',',
                             u'.',
                             u'「',
                             u'」',
                             u'！',
                             u'？',
                             u'・',
                             u' ',
                             u'\t',
                             u'\n',
                             u'\r',
                             u'　',
                             u'東',
                             u'A',
                             u'1',
                             char16_t{0xDC82}}) {
        EXPECT_FALSE(IsParticleChar(c)) << std::hex << static_cast<int>(c);
    }
}

// ---------------------------------------------------------------------------------------

TEST(WorkedExample, WithoutMarkers) {
    const Converted run = Convert(Sjis("私は東京に行きました。"), Keywords({"X"}), 5);
    EXPECT_EQ(run.result.text,
              Bytes("58 8e84 82cd 58 938c 8b9e 82c9 8d73 82ab 82dc 82b5 82bd 8142"));
    EXPECT_EQ(SjisToUtf8(run.result.text), "X私はX東京に行きました。");
    EXPECT_EQ(run.result.stats.lineCount, 1);
    EXPECT_EQ(run.result.stats.phraseCount, 3);
    EXPECT_EQ(run.result.stats.insertedCount, 2);
    EXPECT_EQ(run.result.stats.outputCharCount, 13);
    // Draw, pick, draw, pick, draw: five values and no more.
    EXPECT_EQ(run.nextValue, NthValue(1, 5));
}

TEST(WorkedExample, WithMarkers) {
    const Converted run = Convert(Sjis("私は東京に行きました。"), Keywords({"X"}), 5, true);
    EXPECT_EQ(run.result.text, Bytes("3c 58 3e 8e84 82cd 3c 58 3e 938c 8b9e 82c9 3c 3e 8d73 82ab "
                                     "82dc 82b5 82bd 8142"));
    EXPECT_EQ(SjisToUtf8(run.result.text), "<X>私は<X>東京に<>行きました。");
    EXPECT_EQ(run.result.stats.lineCount, 1);
    EXPECT_EQ(run.result.stats.phraseCount, 3);
    EXPECT_EQ(run.result.stats.insertedCount, 2);
    EXPECT_EQ(run.result.stats.outputCharCount, 19);
    EXPECT_EQ(run.nextValue, NthValue(1, 5));
}

TEST(WorkedExample, ConvertLineAppendsTheLineBreakUnlessLast) {
    const KeywordList keywords = Keywords({"X"});
    ConversionOptions options;
    options.insertRatio = 5;
    RandomSource random;
    random.Seed(1);
    ConversionStats stats;
    const std::string out =
        ConvertLine(Sjis("私は東京に行きました。"), false, keywords, options, random, stats);
    EXPECT_EQ(SjisToUtf8(out), "X私はX東京に行きました。\r\n");
    EXPECT_EQ(stats.outputCharCount, 14);
    EXPECT_EQ(stats.phraseCount, 3);
    EXPECT_EQ(stats.insertedCount, 2);
    EXPECT_EQ(stats.lineCount, 0) << "lines are counted by ConvertText";

    // Counters add up over lines; an empty line yields its line break only.
    EXPECT_EQ(ConvertLine("", false, keywords, options, random, stats), "\r\n");
    EXPECT_EQ(ConvertLine("", true, keywords, options, random, stats), "");
    EXPECT_EQ(stats.outputCharCount, 15);
    EXPECT_EQ(stats.phraseCount, 3);
}

// ---------------------------------------------------------------------------------------

struct Line {
    std::string bytes;
    bool isLastLine;
    bool operator==(const Line&) const = default;
};

void PrintTo(const Line& line, std::ostream* os) {
    *os << "{\"" << SjisToUtf8(line.bytes) << "\", " << (line.isLastLine ? "last" : "not last")
        << "}";
}

// Every line ReadNextLine finds, until it finds none.
std::vector<Line> SplitLines(const std::string& text) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    for (int guard = 0; guard < 1000; ++guard) {
        const NextLine next = ReadNextLine(text, pos);
        if (!next.found) {
            // Asking again past the end still finds nothing.
            EXPECT_FALSE(ReadNextLine(text, pos).found);
            return lines;
        }
        lines.push_back({std::string(next.line), next.isLastLine});
    }
    ADD_FAILURE() << "ReadNextLine never reported the end";
    return lines;
}

TEST(ReadNextLine, EmptyTextAndLoneLineBreaksGiveNoFinalEmptyLine) {
    EXPECT_EQ(SplitLines(""), std::vector<Line>{});
    EXPECT_EQ(SplitLines("\r\n"), std::vector<Line>{});
    EXPECT_EQ(SplitLines("\r\n\r\n"), (std::vector<Line>{{"", false}}));
    EXPECT_EQ(SplitLines("ab\r\n"), (std::vector<Line>{{"ab", true}}));
    EXPECT_EQ(SplitLines("ab\r\n\r\n"), (std::vector<Line>{{"ab", false}}));
    EXPECT_EQ(SplitLines("ab\r\n\r\ncd"),
              (std::vector<Line>{{"ab", false}, {"", false}, {"cd", true}}));
    EXPECT_EQ(SplitLines("ab"), (std::vector<Line>{{"ab", true}}));
}

TEST(ReadNextLine, CrConsumesTheByteAfterItWhateverItIs) {
    EXPECT_EQ(SplitLines("ab\rxcd"), (std::vector<Line>{{"ab", false}, {"cd", true}}));
    // The lead byte of 東 (93 8C) is skipped; the next line starts with its trail byte.
    EXPECT_EQ(SplitLines("ab\r" + Sjis("東京")),
              (std::vector<Line>{{"ab", false}, {Bytes("8c 8b9e"), true}}));
    EXPECT_EQ(SplitLines("\r\r\r\n"), (std::vector<Line>{{"", false}}));
}

TEST(ReadNextLine, CrAsTheLastByteEndsTheLastLine) {
    EXPECT_EQ(SplitLines("ab\r"), (std::vector<Line>{{"ab", true}}));
    EXPECT_EQ(SplitLines("ab\r\ncd\r"), (std::vector<Line>{{"ab", false}, {"cd", true}}));
    EXPECT_EQ(SplitLines("\r"), std::vector<Line>{});
}

TEST(ReadNextLine, LoneLfStaysInTheLine) {
    EXPECT_EQ(SplitLines("a\nb\r\nc"), (std::vector<Line>{{"a\nb", false}, {"c", true}}));
}

// ---------------------------------------------------------------------------------------

TEST(LineSplitting, EmptyTextGivesNothing) {
    for (const std::string text : {"", "\r\n", "\r"}) {
        const Converted run = Convert(text, Keywords({"X"}), 10, true);
        EXPECT_EQ(run.result.text, "");
        EXPECT_EQ(run.result.stats, ConversionStats{});
        EXPECT_EQ(run.nextValue, 41) << "no value consumed";
    }
}

TEST(LineSplitting, TwoLineBreaksGiveOne) {
    const Converted run = Convert("\r\n\r\n", Keywords({"X"}), 10);
    EXPECT_EQ(run.result.text, "\r\n");
    EXPECT_EQ(run.result.stats.lineCount, 1);
    EXPECT_EQ(run.result.stats.outputCharCount, 1);
    EXPECT_EQ(run.result.stats.phraseCount, 0);
}

TEST(LineSplitting, FinalLineBreakIsDropped) {
    const Converted run = Convert(Sjis("東京\r\n"), Keywords({"X"}), 10);
    EXPECT_EQ(SjisToUtf8(run.result.text), "X東京");
    EXPECT_EQ(run.result.stats.lineCount, 1);
    EXPECT_EQ(run.result.stats.outputCharCount, 3);
}

TEST(LineSplitting, LineAndTwoLineBreaksKeepOne) {
    const Converted run = Convert(Sjis("東京\r\n\r\n"), Keywords({"X"}), 10);
    EXPECT_EQ(SjisToUtf8(run.result.text), "X東京\r\n");
    EXPECT_EQ(run.result.stats.lineCount, 1);
    EXPECT_EQ(run.result.stats.outputCharCount, 4);
}

TEST(LineSplitting, EmptyLineBetweenTwoLinesIsKept) {
    const Converted run = Convert(Sjis("東京\r\n\r\n大阪"), Keywords({"X"}), 10);
    EXPECT_EQ(SjisToUtf8(run.result.text), "X東京\r\n\r\nX大阪");
    EXPECT_EQ(run.result.stats.lineCount, 3);
    EXPECT_EQ(run.result.stats.phraseCount, 2);
    EXPECT_EQ(run.result.stats.outputCharCount, 8);
}

TEST(LineSplitting, CrFollowedByAnotherByte) {
    Converted run = Convert("ab\rxcd", Keywords({"X"}), 0);
    EXPECT_EQ(run.result.text, "ab\r\ncd");
    EXPECT_EQ(run.result.stats.lineCount, 2);
    EXPECT_EQ(run.result.stats.outputCharCount, 5);

    // A lead byte after the CR is skipped; its trail byte, alone at the end, is kept as it is.
    run = Convert("ab\r" + Sjis("東"), Keywords({"X"}), 0);
    EXPECT_EQ(run.result.text, "ab\r\n\x8C");
    EXPECT_EQ(run.result.stats.lineCount, 2);
    EXPECT_EQ(run.result.stats.phraseCount, 2);
    EXPECT_EQ(run.result.stats.outputCharCount, 4);

    run = Convert("ab\r" + Sjis("東京"), Keywords({"X"}), 0);
    EXPECT_EQ(run.result.text, "ab\r\n" + Bytes("8c8b 9e"));
}

TEST(LineSplitting, CrAsTheLastByte) {
    const Converted run = Convert(Sjis("東京\r\n大阪\r"), Keywords({"X"}), 10);
    EXPECT_EQ(SjisToUtf8(run.result.text), "X東京\r\nX大阪");
    EXPECT_EQ(run.result.stats.lineCount, 2);
    EXPECT_EQ(run.result.stats.outputCharCount, 7);
}

TEST(LineSplitting, LoneLfIsAPhraseCharacterAndCopied) {
    const Converted run = Convert(Sjis("です\nます"), Keywords({"X"}), 10, true);
    EXPECT_EQ(SjisToUtf8(run.result.text), "です<X>\nます");
    EXPECT_EQ(run.result.stats.lineCount, 1);
    EXPECT_EQ(run.result.stats.phraseCount, 1);
    EXPECT_EQ(run.result.stats.outputCharCount, 8);
}

// ---------------------------------------------------------------------------------------

// Markers at ratio 0 show every insertion point without inserting anything.
struct PhraseCase {
    const char* text;
    const char* marked;
    int phrases;
};

class Phrases : public testing::TestWithParam<PhraseCase> {};

TEST_P(Phrases, InsertionPointsStandInFrontOfEveryPhrase) {
    const PhraseCase& c = GetParam();
    const Converted run = Convert(Sjis(c.text), Keywords({"X"}), 0, true);
    EXPECT_EQ(SjisToUtf8(run.result.text), c.marked);
    EXPECT_EQ(run.result.stats.phraseCount, c.phrases);
    EXPECT_EQ(run.result.stats.insertedCount, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Phrases,
    testing::Values(
        PhraseCase{"ですます。", "ですます。", 0}, PhraseCase{"、。，．ぁん", "、。，．ぁん", 0},
        PhraseCase{"東京、大阪", "<>東京、<>大阪", 2}, PhraseCase{"「東京」", "<>「東京」", 1},
        PhraseCase{"東京，大阪．", "<>東京，<>大阪．", 2}, PhraseCase{"は東京へ", "は<>東京へ", 1},
        PhraseCase{"あゝあゞあ゛あ゜あーあ", "あ<>ゝあ<>ゞあ<>゛あ<>゜あ<>ーあ", 5},
        PhraseCase{"あ｡あ､あ", "あ<>｡あ<>､あ", 2}, PhraseCase{"ｱｲｳ｡ｴｵ", "<>ｱｲｳ｡ｴｵ", 1},
        PhraseCase{"あ,あ.あ！あ？あ・あ", "あ<>,あ<>.あ<>！あ<>？あ<>・あ", 5},
        PhraseCase{"あ あ\tあ　あ", "あ<> あ<>\tあ<>　あ", 3},
        PhraseCase{"カタカナとABC123", "<>カタカナと<>ABC123", 2},
        PhraseCase{"東京ですね", "<>東京ですね", 1}));

// ---------------------------------------------------------------------------------------

TEST(InsertRatio, ZeroConsumesOneValuePerPhraseAndInsertsNothing) {
    const std::string text = Sjis("東京、大阪\r\nそして京都と奈良。\r\nです");
    const Converted run = Convert(text, Keywords({"X", "Y"}), 0, false, 777);
    EXPECT_EQ(run.result.text, text.substr(0, text.size()));
    EXPECT_EQ(run.result.stats.phraseCount, 4);
    EXPECT_EQ(run.result.stats.insertedCount, 0);
    EXPECT_EQ(run.nextValue, NthValue(777, 4));
}

TEST(InsertRatio, TenInsertsAtEveryPhrase) {
    const Converted run =
        Convert(Sjis("東京、大阪\r\nそして京都と奈良。\r\nです"), Keywords({"X"}), 10, false, 777);
    EXPECT_EQ(SjisToUtf8(run.result.text), "X東京、X大阪\r\nそしてX京都とX奈良。\r\nです");
    EXPECT_EQ(run.result.stats.phraseCount, 4);
    EXPECT_EQ(run.result.stats.insertedCount, 4);
    // A draw and a pick per phrase.
    EXPECT_EQ(run.nextValue, NthValue(777, 8));
}

// A hand-edited settings file may give any ratio; it is used as it is.
TEST(InsertRatio, OutsideTheMenuRangeNeverOrAlwaysInserts) {
    const std::string text = Sjis("東京、大阪\r\nそして京都と奈良。");
    for (const int never : {-1, -2147483647 - 1}) {
        const Converted run = Convert(text, Keywords({"X"}), never, false, 5);
        EXPECT_EQ(run.result.stats.insertedCount, 0) << never;
        EXPECT_EQ(run.nextValue, NthValue(5, 4)) << never;
    }
    for (const int always : {11, 2147483647}) {
        const Converted run = Convert(text, Keywords({"X"}), always, false, 5);
        EXPECT_EQ(run.result.stats.insertedCount, 4) << always;
        EXPECT_EQ(run.nextValue, NthValue(5, 8)) << always;
    }
}

TEST(InsertRatio, PickTakesTheValueAfterTheDrawModuloTheListSize) {
    const KeywordList keywords = Keywords({"A", "B", "C", "D", "E", "F", "G"});
    const Converted run = Convert(Sjis("東京、大阪、京都"), keywords, 10, false, 99);
    std::string expected;
    const char* phrases[] = {"東京、", "大阪、", "京都"};
    for (int i = 0; i < 3; ++i) {
        expected += test::Utf8(keywords[static_cast<std::size_t>(NthValue(99, 2 * i + 1)) % 7]);
        expected += phrases[i];
    }
    EXPECT_EQ(SjisToUtf8(run.result.text), expected);
}

TEST(InsertRatio, PickIsTheValueModuloTheListSizeForAnySize) {
    std::u16string text;
    for (int i = 0; i < 20000; ++i) {
        text += u"東、";
    }
    for (const std::size_t size :
         {1u, 2u, 3u, 7u, 10u, 48u, 1000u, 1001u, 4097u, 32767u, 32768u, 32769u, 40000u}) {
        KeywordList keywords;
        for (std::size_t k = 0; k < size; ++k) {
            keywords.Append(std::u16string(1, static_cast<char16_t>(0x4E00 + k % 20000)) +
                            static_cast<char16_t>(u'0' + k / 20000));
        }
        RandomSource expectedRandom;
        expectedRandom.Seed(static_cast<std::uint32_t>(size));
        std::u16string expected;
        for (int i = 0; i < 20000; ++i) {
            expectedRandom.Next();  // the draw, always true at ratio 10
            expected += keywords[static_cast<std::size_t>(expectedRandom.Next()) % size];
            expected += u"東、";
        }
        RandomSource random;
        random.Seed(static_cast<std::uint32_t>(size));
        const auto result =
            ConvertText(std::u16string_view(text), keywords, ConversionOptions{10, false}, random);
        ASSERT_TRUE(result.text == expected) << "list of " << size;
    }
}

TEST(InsertRatio, ValuesConsumedAreOnePerPhrasePlusOnePerInsertion) {
    const std::string text =
        Sjis("吾輩は猫である。名前はまだ無い。\r\nどこで生れたかとんと見当がつかぬ。");
    for (int ratio = 0; ratio <= 10; ++ratio) {
        for (std::uint32_t seed = 0; seed < 20; ++seed) {
            const Converted run = Convert(text, Keywords({"X", "Y", "Z"}), ratio, false, seed);
            const ConversionStats& s = run.result.stats;
            ASSERT_EQ(s.phraseCount, 6);
            ASSERT_EQ(run.nextValue, NthValue(seed, s.phraseCount + s.insertedCount))
                << "ratio " << ratio << " seed " << seed;
        }
    }
}

TEST(Keywords, EmptyKeywordCountsAsInsertedButAddsNothing) {
    const std::string text = Sjis("東京、大阪");
    Converted run = Convert(text, Keywords({""}), 10);
    EXPECT_EQ(run.result.text, text);
    EXPECT_EQ(run.result.stats.insertedCount, 2);
    EXPECT_EQ(run.result.stats.outputCharCount, 5);

    run = Convert(text, Keywords({""}), 10, true);
    EXPECT_EQ(SjisToUtf8(run.result.text), "<>東京、<>大阪");
    EXPECT_EQ(run.result.stats.insertedCount, 2);
    EXPECT_EQ(run.result.stats.outputCharCount, 9);
}

TEST(Keywords, TrailingSpaceIsInsertedWithTheKeyword) {
    const Converted run = Convert(Sjis("東京"), Keywords({"春 "}), 10);
    EXPECT_EQ(SjisToUtf8(run.result.text), "春 東京");
    EXPECT_EQ(run.result.stats.outputCharCount, 4);
}

TEST(OutputCharCount, EveryCharacterCountsOneWhateverItsBytes) {
    // Double-byte, half-width katakana and ASCII characters.
    Converted run = Convert(Sjis("漢字ｶﾀｶﾅabc"), Keywords({"X"}), 0);
    EXPECT_EQ(run.result.stats.outputCharCount, 9);
    run = Convert(Sjis("ｶﾀｶﾅ\r\nabc\r\n漢字"), Keywords({"X"}), 0);
    EXPECT_EQ(run.result.stats.outputCharCount, 11);
    // A keyword counts its characters, not its bytes.
    run = Convert(Sjis("漢字"), Keywords({"キーワードｷｰ!"}), 10);
    EXPECT_EQ(run.result.stats.outputCharCount, 10);
    // An escaped byte is one character.
    run = Convert("\x80\xFF", Keywords({"X"}), 0);
    EXPECT_EQ(run.result.text, "\x80\xFF");
    EXPECT_EQ(run.result.stats.outputCharCount, 2);
}

// ---------------------------------------------------------------------------------------

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) {
        out += s;
    }
    return out;
}

TEST(LongLines, LineOf4095CharactersIsConvertedInFull) {
    const std::string line = Repeat(Sjis("東京は"), 1365);
    const Converted run = Convert(line + "\r\n" + Sjis("終"), Keywords({"X"}), 10);
    EXPECT_EQ(run.result.text, Repeat(Sjis("X東京は"), 1365) + "\r\nX" + Sjis("終"));
    EXPECT_EQ(run.result.stats.phraseCount, 1366);
    EXPECT_EQ(run.result.stats.outputCharCount, 4095 + 1365 + 1 + 2);
}

TEST(LongLines, LineOf10000CharactersIsConvertedInFull) {
    const std::string line = Repeat(Sjis("東京は"), 3333) + Sjis("大");
    const Converted run = Convert(line, Keywords({"X"}), 10);
    EXPECT_EQ(run.result.text, Repeat(Sjis("X東京は"), 3333) + Sjis("X大"));
    EXPECT_EQ(run.result.stats.lineCount, 1);
    EXPECT_EQ(run.result.stats.phraseCount, 3334);
    EXPECT_EQ(run.result.stats.outputCharCount, 13334);
}

}  // namespace
}  // namespace quillery
