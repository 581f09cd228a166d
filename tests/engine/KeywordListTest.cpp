// Reading a dictionary file: text-mode rules, the 132-character pieces, the 1000-keyword
// limit, NUL and Ctrl+Z, and opening the file.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/KeywordList.h"
#include "tests/engine/TestSupport.h"

namespace quillery {
namespace {

using test::Sjis;
using test::TempDir;
using test::U16;

std::vector<std::u16string> Read(const TempDir& dir, std::string_view bytes) {
    const std::string path = dir.Write("dictionary.dat", bytes);
    std::FILE* file = OpenDictionaryFile(path);
    if (file == nullptr) {
        ADD_FAILURE() << "cannot open " << path;
        return {};
    }
    const KeywordList list = ReadKeywords(file);
    std::fclose(file);
    std::vector<std::u16string> keywords;
    for (std::size_t k = 0; k < list.size(); ++k) {
        keywords.push_back(list[k]);
    }
    return keywords;
}

std::vector<std::u16string> U16s(std::initializer_list<std::string_view> utf8) {
    std::vector<std::u16string> out;
    for (const std::string_view s : utf8) {
        out.push_back(U16(s));
    }
    return out;
}

// `count` characters cycling through a few double-byte ones, so that pieces show where
// they were cut.
std::string Chars(std::size_t count, std::size_t offset = 0) {
    static const char* const pool[] = {"春", "夏", "秋", "冬", "雨", "風",
                                       "月", "星", "空", "海", "山"};
    std::string utf8;
    for (std::size_t i = 0; i < count; ++i) {
        utf8 += pool[(i + offset) % 11];
    }
    return utf8;
}

class ReadKeywordsTest : public testing::Test {
  protected:
    TempDir dir_;
};

TEST_F(ReadKeywordsTest, OneKeywordPerLineInFileOrderNothingTrimmed) {
    EXPECT_EQ(Read(dir_, Sjis("春の\r\n 静かな\r\n美しい \r\n\t夏\t\r\n　秋　\r\n春の\r\n")),
              U16s({"春の", " 静かな", "美しい ", "\t夏\t", "　秋　", "春の"}));
}

TEST_F(ReadKeywordsTest, CrLfAndLfFilesGiveTheSameList) {
    const std::string lf =
        Sjis("春の\n\n静かな\nｶﾀｶﾅ\n" + Chars(140) + "\n" + Chars(132) + "\n最後");
    std::string crlf;
    for (const char c : lf) {
        if (c == '\n') {
            crlf += '\r';
        }
        crlf += c;
    }
    const auto fromLf = Read(dir_, lf);
    EXPECT_EQ(Read(dir_, crlf), fromLf);
    EXPECT_EQ(fromLf.size(), 9u);
}

TEST_F(ReadKeywordsTest, CrLfSplitAcrossReadChunksIsStillOneLineFeed) {
    // A first line of 63 characters and lines of 100: the CR of line 160 is byte 16383
    // of the file, its LF byte 16384.
    std::string crlf = std::string(63, 'a') + "\r\n";
    std::string lf = std::string(63, 'a') + "\n";
    for (int i = 0; i < 300; ++i) {
        crlf += std::string(100, 'x') + "\r\n";
        lf += std::string(100, 'x') + "\n";
    }
    ASSERT_EQ(crlf.substr(16383, 2), "\r\n");
    const auto keywords = Read(dir_, crlf);
    ASSERT_EQ(keywords.size(), 301u);
    for (std::size_t k = 1; k < keywords.size(); ++k) {
        ASSERT_EQ(keywords[k], std::u16string(100, u'x')) << "keyword " << k;
    }
    EXPECT_EQ(Read(dir_, lf), keywords);
}

TEST_F(ReadKeywordsTest, ThousandShortLinesGiveThousandKeywords) {
    std::string file;
    for (int i = 0; i < 1000; ++i) {
        file += "k" + std::to_string(i) + (i % 2 ? "\r\n" : "\n");
    }
    const auto keywords = Read(dir_, file);
    ASSERT_EQ(keywords.size(), 1000u);
    EXPECT_EQ(keywords.front(), u"k0");
    EXPECT_EQ(keywords.back(), u"k999");
}

TEST_F(ReadKeywordsTest, LinesBeyondTheThousandthAreIgnoredSilently) {
    std::string file;
    for (int i = 0; i < 1500; ++i) {
        file += Sjis(Chars(131, static_cast<std::size_t>(i))) + "\r\n";
    }
    const auto keywords = Read(dir_, file);
    ASSERT_EQ(keywords.size(), 1000u);
    EXPECT_EQ(keywords.back(), U16(Chars(131, 999)));

    std::string exactly1001;
    for (int i = 0; i < 1001; ++i) {
        exactly1001 += "k" + std::to_string(i) + "\r\n";
    }
    const auto first1000 = Read(dir_, exactly1001);
    ASSERT_EQ(first1000.size(), 1000u);
    EXPECT_EQ(first1000.back(), u"k999");
}

TEST_F(ReadKeywordsTest, SixHundredLinesOf200CharactersGiveTheFirst500InTwoPieces) {
    std::string file;
    for (std::size_t i = 0; i < 600; ++i) {
        file += Sjis(Chars(200, i)) + "\r\n";
    }
    const auto keywords = Read(dir_, file);
    ASSERT_EQ(keywords.size(), 1000u);
    for (std::size_t i = 0; i < 500; ++i) {
        const std::u16string line = U16(Chars(200, i));
        ASSERT_EQ(keywords[2 * i], line.substr(0, 132)) << "line " << i;
        ASSERT_EQ(keywords[2 * i + 1], line.substr(132)) << "line " << i;
        ASSERT_EQ(keywords[2 * i + 1].size(), 68u);
    }
}

TEST_F(ReadKeywordsTest, PiecesOfAtMost132CharactersTheLineFeedCountingInTheLast) {
    const std::u16string l131 = U16(Chars(131));
    const std::u16string l132 = U16(Chars(132));
    const std::u16string l133 = U16(Chars(133));
    EXPECT_EQ(Read(dir_, Sjis(Chars(131)) + "\r\nnext\r\n"),
              (std::vector<std::u16string>{l131, u"next"}));
    EXPECT_EQ(Read(dir_, Sjis(Chars(132)) + "\r\nnext\r\n"),
              (std::vector<std::u16string>{l132, u"", u"next"}));
    EXPECT_EQ(Read(dir_, Sjis(Chars(133)) + "\r\nnext\r\n"),
              (std::vector<std::u16string>{l133.substr(0, 132), l133.substr(132), u"next"}));
    // Single-byte characters count the same.
    EXPECT_EQ(
        Read(dir_, std::string(264, 'a') + "\n"),
        (std::vector<std::u16string>{std::u16string(132, u'a'), std::u16string(132, u'a'), u""}));
    // Without a line feed after it, a 132-character last line is one keyword.
    EXPECT_EQ(Read(dir_, Sjis(Chars(132))), (std::vector<std::u16string>{l132}));
}

TEST_F(ReadKeywordsTest, EmptyLinesAreEmptyKeywords) {
    EXPECT_EQ(Read(dir_, "\n"), (std::vector<std::u16string>{u""}));
    EXPECT_EQ(Read(dir_, "\r\n\r\n"), (std::vector<std::u16string>{u"", u""}));
    EXPECT_EQ(Read(dir_, "a\r\n\r\nb\r\n"), (std::vector<std::u16string>{u"a", u"", u"b"}));
}

TEST_F(ReadKeywordsTest, LastLineWithoutLineFeedIsAKeyword) {
    EXPECT_EQ(Read(dir_, Sjis("春\r\n夏")), U16s({"春", "夏"}));
    EXPECT_EQ(Read(dir_, Sjis("春\r\n夏\r\n")), U16s({"春", "夏"}));
}

TEST_F(ReadKeywordsTest, EmptyFileAndCtrlZFirstGiveNoKeyword) {
    EXPECT_TRUE(Read(dir_, "").empty());
    EXPECT_TRUE(Read(dir_, "\x1A").empty());
    EXPECT_TRUE(Read(dir_,
                     "\x1A"
                     "abc\r\ndef\r\n")
                    .empty());
}

TEST_F(ReadKeywordsTest, CtrlZEndsTheFile) {
    EXPECT_EQ(Read(dir_,
                   "ab\r\ncd\x1A"
                   "ef\r\ngh\r\n"),
              (std::vector<std::u16string>{u"ab", u"cd"}));
    EXPECT_EQ(Read(dir_, "ab\r\n\x1A\r\ngh\r\n"), (std::vector<std::u16string>{u"ab"}));
    // A CR right before it is an ordinary character.
    EXPECT_EQ(Read(dir_,
                   "ab\r\x1A"
                   "cd"),
              (std::vector<std::u16string>{u"ab\r"}));
}

TEST_F(ReadKeywordsTest, LoneCrIsAnOrdinaryCharacter) {
    EXPECT_EQ(Read(dir_, "a\rb\r\nc"), (std::vector<std::u16string>{u"a\rb", u"c"}));
    EXPECT_EQ(Read(dir_, "a\r\r\nb"), (std::vector<std::u16string>{u"a\r", u"b"}));
    EXPECT_EQ(Read(dir_, "a\r"), (std::vector<std::u16string>{u"a\r"}));
    EXPECT_EQ(Read(dir_, "\r"), (std::vector<std::u16string>{u"\r"}));
}

TEST_F(ReadKeywordsTest, NulEndsItsKeywordAndTheRestOfThePieceIsDropped) {
    using namespace std::string_literals;
    EXPECT_EQ(Read(dir_, "ab\0cd\r\nef\r\n"s), (std::vector<std::u16string>{u"ab", u"ef"}));
    EXPECT_EQ(Read(dir_, "\0abc\r\nx"s), (std::vector<std::u16string>{u"", u"x"}));
    EXPECT_EQ(Read(dir_, "\0\r\n\0"s), (std::vector<std::u16string>{u"", u""}));
    // In a long line only the piece holding the NUL loses its rest.
    const std::string line = Sjis(Chars(10)) + "\0"s + Sjis(Chars(189, 11)) + "\r\nnext"s;
    const std::u16string after = U16(Chars(189, 11));
    EXPECT_EQ(Read(dir_, line),
              (std::vector<std::u16string>{U16(Chars(10)), after.substr(121), u"next"}));
}

TEST_F(ReadKeywordsTest, BytesOutsideTheCodePageAreKeptAndDoNotSwallowTheLineFeed) {
    // A lead byte cut off by the line feed ends its keyword as "?" (KeywordLoneLeadTest).
    EXPECT_EQ(Read(dir_,
                   "\x80"
                   "ab\r\n\x82\r\ncd\x82\n"),
              (std::vector<std::u16string>{u"\xDC80"
                                           "ab",
                                           u"?", u"cd?"}));
}

TEST(OpenDictionaryFile, RefusesFoldersAndMissingFiles) {
    TempDir dir;
    EXPECT_EQ(OpenDictionaryFile(dir.path().string()), nullptr);
    EXPECT_EQ(OpenDictionaryFile((dir.path() / "missing.dat").string()), nullptr);
    EXPECT_EQ(OpenDictionaryFile(""), nullptr);
    std::FILE* file = OpenDictionaryFile(dir.Write("ok.dat", "X\r\n"));
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(ReadKeywords(file).size(), 1u);
    std::fclose(file);
}

#ifndef _WIN32
TEST(OpenDictionaryFile, RefusesAFifoWithoutWaitingForAWriter) {
    TempDir dir;
    const std::string fifo = (dir.path() / "fifo.dat").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(OpenDictionaryFile(fifo), nullptr);  // an open that waited would never return
}
#endif

}  // namespace
}  // namespace quillery
