// The bytes of a saved pane, and what a dropped file puts into the input pane.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/Utf8.h"
#include "windowlogic/DroppedFiles.h"
#include "windowlogic/PaneFile.h"

namespace quillery {
namespace {

namespace fs = std::filesystem;

// A page's panes hold LF; the saved file and the run take CR LF, whatever was there.
TEST(WithCrLf, EveryKindOfLineBreakBecomesCrLf) {
    EXPECT_EQ(WithCrLf(u"a\nb\r\nc\rd\n\n"), u"a\r\nb\r\nc\r\nd\r\n\r\n");
    EXPECT_EQ(WithCrLf(u"\r\r\n\n\r"), u"\r\n\r\n\r\n\r\n");
    EXPECT_EQ(WithCrLf(u"a\nb\r\nc\rd\r", LoneCr::Keep), u"a\r\nb\r\nc\rd\r");
    EXPECT_EQ(WithCrLf(u"漢字"), u"漢字");
    EXPECT_EQ(WithCrLf(u""), u"");
}

TEST(PaneFileBytes, CodePage932WithQuestionMarksForWhatItCannotHold) {
    EXPECT_EQ(PaneFileBytes(u"表示\r\nｶﾅ"), "\x95\x5C\x8E\xA6\r\n\xB6\xC5");
    // A character outside the code page, a lone surrogate and a lone escaped byte are one
    // "?" each; nothing is added at the end.
    EXPECT_EQ(PaneFileBytes(u"a☃b\xD800"
                            u"c\xDC81"),
              "a?b?c?");
    EXPECT_EQ(PaneFileBytes(u"𠮷"), "?");
    EXPECT_EQ(PaneFileBytes(u""), "");
}

TEST(DisplayFromCp932, BytesOutsideTheCodePageShowAsReplacementCharacters) {
    EXPECT_EQ(DisplayFromCp932("\x95\x5C"
                               "a\x80\xA0"),
              u"表a\uFFFD\uFFFD");
}

TEST(DecodeDroppedBytes, Utf8WhenMarkedOrValidBeyondAsciiElseCodePage932) {
    struct Row {
        std::string bytes;
        std::u16string text;
    };
    const Row rows[] = {
        {"\xE7\xA7\x81\n\xE3\x81\xAF", u"私\r\nは"},
        {"\xEF\xBB\xBF"
         "abc\r",
         u"abc\r\n"},  // the mark left out, a lone CR a break
        {"\xEF\xBB\xBF"
         "a\xFF"
         "b",
         u"a\uFFFDb"},                        // marked, but not all UTF-8
        {"\xB6\xC5\r\n\r\n", u"ｶﾅ\r\n\r\n"},  // valid code page 932, not UTF-8
        {"\x81\x20x\xA0\r\ny", u"\uFFFD x\uFFFD\r\ny"},
        {"plain\n\rtext", u"plain\r\n\r\ntext"},
        {"", u""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(DecodeDroppedBytes(r.bytes), r.text) << r.bytes;
    }
}

class DroppedFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("windowlogic-drops-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Writes a file under the folder and gives its path as the window gets it.
    std::u16string File(const std::u16string& name, const std::string& bytes) {
        const fs::path path = dir_ / fs::path(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path.u16string();
    }
    static std::u16string Refused(std::u16string_view name, std::u16string_view reason) {
        return u"次のファイルは挿入できません。\r\n" + std::u16string(name) + u"\r\n" +
               std::u16string(reason);
    }

    fs::path dir_;
};

TEST_F(DroppedFilesTest, FilesGoInInOrderEachDecodedOnItsOwn) {
    const DroppedText dropped =
        ReadDroppedFiles({File(u"かな.txt", "\xB6\xC5\r\n"), File(u"utf8.txt", "\xE7\xA7\x81\n")});
    ASSERT_TRUE(dropped.text);
    EXPECT_EQ(*dropped.text, u"ｶﾅ\r\n私\r\n");
    EXPECT_TRUE(dropped.refusal.empty());
}

TEST_F(DroppedFilesTest, OneRefusedFileRefusesTheWholeDropNamingIt) {
    const std::u16string good = File(u"good.txt", "good");
    const std::u16string notText = File(u"utf16.txt", std::string("a\0b\0", 4));
    const std::u16string missing = (dir_ / "missing.txt").u16string();
    const std::u16string folder = dir_.u16string();
    struct Row {
        std::vector<std::u16string> paths;
        std::u16string refusal;
    };
    const Row rows[] = {
        {{good, notText},
         Refused(u"utf16.txt", u"テキストファイルではありません（NUL文字を含んでいます）。")},
        {{missing, good}, Refused(u"missing.txt", u"ファイルが開けません。")},
        {{good, folder}, Refused(dir_.filename().u16string(), u"ファイルが開けません。")},
    };
    for (const Row& r : rows) {
        const DroppedText dropped = ReadDroppedFiles(r.paths);
        EXPECT_FALSE(dropped.text);
        EXPECT_EQ(dropped.refusal, r.refusal);
    }
    // The limit holds for all the files of one drop together.
    const std::u16string five = File(u"five.txt", "12345");
    const std::u16string six = File(u"six.txt", "123456");
    EXPECT_TRUE(ReadDroppedFiles({five, five}, 10).text);
    const DroppedText over = ReadDroppedFiles({five, six}, 10);
    EXPECT_FALSE(over.text);
    EXPECT_EQ(
        over.refusal,
        Refused(u"six.txt", u"ファイルが大きすぎます。一度に挿入できるのは合わせて64MBまでです。"));
    EXPECT_EQ(kMaxDroppedBytes, 64u * 1024 * 1024);
}

TEST(IsUtf8ByDropRules, MarkedOrBeyondAsciiAndValid) {
    EXPECT_TRUE(IsUtf8ByDropRules("\xE7\xA7\x81\n"));
    EXPECT_TRUE(
        IsUtf8ByDropRules("\xEF\xBB\xBF"
                          "abc"));
    // Plain ASCII reads alike either way; code page 932 is not UTF-8.
    EXPECT_FALSE(IsUtf8ByDropRules("abc\r\n"));
    EXPECT_FALSE(IsUtf8ByDropRules("\x8E\x84\x82\xCD"));
    // A mark says UTF-8 even when what follows is broken, as a dropped file reads it; a
    // dictionary reader then refuses it. Unmarked, a bad byte at the end counts.
    EXPECT_TRUE(IsUtf8ByDropRules("\xEF\xBB\xBF\xE7\xA7"));
    EXPECT_FALSE(IsUtf8ByDropRules("\xE7\xA7\x81\x82"));
    EXPECT_FALSE(IsUtf8ByDropRules(""));
}

// A page hands over each file's bytes with what the drop held before it.
TEST(DroppedFileText, TheLimitCountsTheFilesBeforeAndANulRefuses) {
    const DroppedText fits = DroppedFileText(u"a.txt", "\x8A\xBF\r", 6, 10);
    ASSERT_TRUE(fits.text);
    EXPECT_EQ(*fits.text, u"漢\r\n");
    EXPECT_TRUE(DroppedFileText(u"a.txt", "1234", 6, 10).text);
    const DroppedText over = DroppedFileText(u"b.txt", "12345", 6, 10);
    EXPECT_FALSE(over.text);
    EXPECT_EQ(over.refusal,
              u"次のファイルは挿入できません。\r\nb.txt\r\n"
              u"ファイルが大きすぎます。一度に挿入できるのは合わせて64MBまでです。");
    EXPECT_FALSE(DroppedFileText(u"c.txt", "", 11, 10).text);
    const DroppedText nul = DroppedFileText(u"d.txt", std::string("a\0b", 3), 0, 10);
    EXPECT_FALSE(nul.text);
    EXPECT_NE(nul.refusal.find(u"NUL"), std::u16string::npos);
}

// A page asks with the size alone, before it reads a file.
TEST(DropSizeRefusal, OnlyWhatGoesPastTheLimitInAllIsRefused) {
    EXPECT_FALSE(DropSizeRefusal(u"a.txt", 6, 4, 10));
    EXPECT_FALSE(DropSizeRefusal(u"a.txt", 10, 0, 10));
    EXPECT_EQ(DropSizeRefusal(u"b.txt", 6, 5, 10),
              u"次のファイルは挿入できません。\r\nb.txt\r\n"
              u"ファイルが大きすぎます。一度に挿入できるのは合わせて64MBまでです。");
    EXPECT_TRUE(DropSizeRefusal(u"c.txt", 11, 0, 10));
    // Sizes near the top of the range do not wrap round.
    EXPECT_TRUE(DropSizeRefusal(u"d.txt", 1, UINT64_MAX, 10));
    EXPECT_FALSE(DropSizeRefusal(u"e.txt", 0, kMaxDroppedBytes));
    EXPECT_TRUE(DropSizeRefusal(u"e.txt", 0, kMaxDroppedBytes + 1));
}

TEST_F(DroppedFilesTest, OnlyOneRegularFileMakesADictionary) {
    const std::u16string one = File(u"辞書.dat", "x");
    EXPECT_TRUE(IsDictionaryDrop({one}));
    EXPECT_FALSE(IsDictionaryDrop({one, one}));
    EXPECT_FALSE(IsDictionaryDrop({dir_.u16string()}));
    EXPECT_FALSE(IsDictionaryDrop({(dir_ / "missing.dat").u16string()}));
    EXPECT_FALSE(IsDictionaryDrop({}));
}

}  // namespace
}  // namespace quillery
