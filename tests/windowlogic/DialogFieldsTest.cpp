// The dictionary name field and the debug dialog's seed fields.
#include <gtest/gtest.h>

#include "engine/Cp932Codec.h"
#include "settings/Settings.h"
#include "windowlogic/DictionaryName.h"
#include "windowlogic/SeedField.h"
#include "windowlogic/Texts.h"

namespace quillery {
namespace {

TEST(DictionaryName, TypedAndChosenNamesAreCheckedWithTheirOwnMessages) {
    const DictionaryNameCheck good = CheckTypedDictionaryName(u"C:\\辞書\\表.dat");
    ASSERT_TRUE(good.bytes);
    EXPECT_EQ(*good.bytes, ThreadCodec().Encode(u"C:\\辞書\\表.dat"));
    EXPECT_TRUE(good.refusal.empty());
    // A character code page 932 lacks, or a line break.
    for (const std::u16string name : {u"雪☃.dat", u"a\r\nb", u"〜.dat"}) {
        EXPECT_EQ(CheckTypedDictionaryName(name).refusal, texts::kRefusedCharacters);
        EXPECT_EQ(CheckChosenDictionaryFile(name).refusal, texts::kUnusableChosenName);
        EXPECT_FALSE(CheckChosenDictionaryFile(name).bytes);
    }
    // 255 bytes are held, 256 are not: 127 double-byte characters and one or two bytes.
    const std::u16string fits = std::u16string(127, u'辞') + u"a";
    EXPECT_EQ(CheckTypedDictionaryName(fits).bytes->size(), 255u);
    EXPECT_EQ(CheckTypedDictionaryName(fits + u"b").refusal, texts::kNameTooLong);
    EXPECT_EQ(CheckChosenDictionaryFile(fits + u"b").refusal, texts::kChosenNameTooLong);
}

TEST(DictionaryName, TheFieldShowsStrayBytesAsUnitsThatConvertBack) {
    const std::string stored = "d\\\x80\xFD.dat";
    const std::u16string shown = DictionaryNameFieldText(stored);
    EXPECT_EQ(shown.size(), stored.size());
    EXPECT_EQ(ThreadCodec().Encode(shown), stored);
}

TEST(DictionaryName, AnEditTooLongIsCutBeforeTheCursorAndBadCharactersAreRefused) {
    using Outcome = DictionaryFieldEdit::Outcome;
    const std::u16string head(120, u'辞');  // 240 bytes
    DictionaryFieldEdit edit = FitDictionaryFieldEdit(head + u"0123456789", 250);
    EXPECT_EQ(edit.outcome, Outcome::Accept);
    // Pasted in the middle: what was put in is cut from its end, the tail is kept.
    edit =
        FitDictionaryFieldEdit(head.substr(0, 60) + u"ABCDEFGHIJKLMNOPQRST" + head.substr(60), 80);
    EXPECT_EQ(edit.outcome, Outcome::Cut);
    EXPECT_EQ(edit.text, head.substr(0, 60) + u"ABCDEFGHIJKLMNO" + head.substr(60));
    EXPECT_EQ(edit.cursor, 75u);
    // A double-byte character that would leave one byte free goes whole.
    edit = FitDictionaryFieldEdit(head + u"012345678901表表", 134);
    EXPECT_EQ(edit.outcome, Outcome::Cut);
    EXPECT_EQ(edit.text, head + u"012345678901表");
    EXPECT_EQ(edit.cursor, 133u);
    // A tail too long alone, and a character that does not convert, undo the edit.
    EXPECT_EQ(FitDictionaryFieldEdit(u"x" + head + head, 1).outcome, Outcome::Refuse);
    EXPECT_EQ(FitDictionaryFieldEdit(u"ab☃", 3).outcome, Outcome::Refuse);
}

TEST(SeedField, TakesDigitsUpToTheLargest32BitValue) {
    EXPECT_EQ(ParseSeedField(u"0"), 0u);
    EXPECT_EQ(ParseSeedField(u"004294967295"), 4294967295u);
    for (const std::u16string text : {u"", u"4294967296", u"-1", u"+1", u" 1", u"1 ", u"１２",
                                      u"0x10", u"99999999999999999999"}) {
        EXPECT_EQ(ParseSeedField(text), std::nullopt) << text.size();
    }
    EXPECT_EQ(SeedFieldText(4294967295u), u"4294967295");
}

TEST(SeedField, TheNewestSeedShowsSignedAndCopiesAsItsPattern) {
    EXPECT_EQ(NewestSeedText(-5), u"-5");
    EXPECT_EQ(SeedCopyText(u"-5"), u"4294967291");
    EXPECT_EQ(SeedCopyText(NewestSeedText(-2147483647 - 1)), u"2147483648");
    EXPECT_EQ(SeedCopyText(NewestSeedText(2147483647)), u"2147483647");
    // Text that is no 32-bit number goes over as it is, for the field to refuse.
    for (const std::u16string text : {u"-2147483649", u"-", u"-1x", u"abc", u""}) {
        EXPECT_EQ(SeedCopyText(text), text);
    }
}

TEST(SeedField, OptionsTickOnlyForAOneAndOkMakesADebugRun) {
    Settings s;
    s.randomSeed = 7;
    s.useFixedSeed = 2;
    s.insertMark = 1;
    s.newestRandomSeed = -3;
    DebugOptions options = DebugOptionsFrom(s);
    EXPECT_FALSE(options.useFixedSeed);
    EXPECT_TRUE(options.insertMark);
    EXPECT_EQ(options.randomSeed, 7u);
    EXPECT_EQ(options.newestRandomSeed, -3);
    options.useFixedSeed = true;
    options.insertMark = false;
    options.randomSeed = 9;
    StoreDebugOptions(options, s);
    EXPECT_EQ((std::vector<std::int64_t>{s.randomSeed, s.useFixedSeed, s.insertMark, s.debugRun,
                                         s.newestRandomSeed}),
              (std::vector<std::int64_t>{9, 1, 0, 1, -3}));
}

}  // namespace
}  // namespace quillery
