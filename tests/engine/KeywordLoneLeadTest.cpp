// A dictionary line that ends inside a double-byte character: its lone lead byte would
// join the first byte of the phrase after each insertion into another character, and
// the converted text after every insertion would read as garbage. Found with
// quillery-convert and a dictionary of invalid code page 932.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "engine/Conversion.h"
#include "engine/Cp932Codec.h"
#include "engine/KeywordList.h"

namespace quillery {
namespace {

using test::Sjis;
using test::TempDir;
using test::U16;

KeywordList ReadFrom(const TempDir& dir, std::string_view bytes) {
    std::FILE* file = OpenDictionaryFile(dir.Write("dictionary.dat", bytes));
    EXPECT_NE(file, nullptr);
    KeywordList list = file ? ReadKeywords(file) : KeywordList();
    if (file) {
        std::fclose(file);
    }
    return list;
}

std::vector<std::u16string> Entries(const KeywordList& list) {
    std::vector<std::u16string> entries;
    for (std::size_t k = 0; k < list.size(); ++k) {
        entries.push_back(list[k]);
    }
    return entries;
}

TEST(KeywordLoneLead, ALeadByteCutOffAtTheEndOfAKeywordBecomesAQuestionMark) {
    using namespace std::string_literals;
    TempDir dir;
    // Cut by CR LF, by LF, by the end of the file, by a NUL, by Ctrl+Z.
    EXPECT_EQ(Entries(ReadFrom(dir, "X\x88\r\nY\x9F\n\xE0")),
              (std::vector<std::u16string>{u"X?", u"Y?", u"?"}));
    EXPECT_EQ(Entries(ReadFrom(dir, "Z\x88\0rest\r\nW\xFC\x1A"s)),
              (std::vector<std::u16string>{u"Z?", u"W?"}));
    // Cut by the 132-character limit: the lead byte is the 132nd character, and the
    // character after it begins the next keyword.
    const KeywordList cut = ReadFrom(dir, std::string(131, 'a') + "\x88" + Sjis("亜") + "\r\n");
    EXPECT_EQ(Entries(cut),
              (std::vector<std::u16string>{std::u16string(131, u'a') + u"?", U16("亜")}));
}

TEST(KeywordLoneLead, OtherBytesOutsideTheCodePageStayAsTheyAre) {
    TempDir dir;
    // A lead byte with a bad second byte inside a keyword keeps that byte after it in the
    // output too; bytes that never begin a character join nothing.
    EXPECT_EQ(Entries(ReadFrom(dir, "\x88 Z\r\nA\x80\r\nB\xFF\r\nC\xA0\r\n")),
              (std::vector<std::u16string>{u"\xDC88 Z", u"A\xDC80", u"B\xDCFF", u"C\xDCA0"}));
}

TEST(KeywordLoneLead, TheTextAfterAnInsertionReadsAsItWas) {
    TempDir dir;
    const KeywordList keywords = ReadFrom(dir, "X\x88\r\n");
    ConversionOptions options;
    options.insertRatio = 10;
    RandomSource random;
    random.Seed(1);
    const auto result = ConvertText(Sjis("私は東京に行きました。"), keywords, options, random);
    EXPECT_EQ(ThreadCodec().Decode(result.text), U16("X?私はX?東京にX?行きました。"));
    EXPECT_EQ(result.stats.outputCharCount, 17);
}

}  // namespace
}  // namespace quillery
