// Reading and opening a dictionary file.

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "engine/KeywordList.h"
#include "tests/engine/TestSupport.h"

namespace quillery {
namespace {

using namespace std::literals;
using test::Sjis;
using test::U16;
using test::Utf8;
using Entries = std::vector<std::u16string>;

class KeywordListTest : public testing::Test {
  protected:
    // The keywords read; nothing when the UTF-8 reader refused the file.
    std::optional<Entries> Read(std::string_view bytes, bool utf8 = false) {
        std::FILE* file = OpenDictionaryFile(dir_.Write("dictionary.dat", bytes));
        if (file == nullptr) {
            ADD_FAILURE() << "cannot open the dictionary";
            return std::nullopt;
        }
        const auto list = utf8 ? ReadUtf8Keywords(file) : std::optional(ReadKeywords(file));
        std::fclose(file);
        if (!list) {
            return std::nullopt;
        }
        Entries entries;
        for (std::size_t k = 0; k < list->size(); ++k) {
            entries.push_back((*list)[k]);
        }
        return entries;
    }
    test::TempDir dir_;
};

// `count` characters cycling through a few, so that pieces show where they were cut.
std::string Chars(std::size_t count, std::size_t offset = 0) {
    static const char* const pool[] = {"春", "夏", "秋", "冬", "雨", "風",
                                       "月", "星", "空", "海", "山"};
    std::string utf8;
    for (std::size_t i = 0; i < count; ++i) {
        utf8 += pool[(i + offset) % 11];
    }
    return utf8;
}

TEST_F(KeywordListTest, LinesAndPieces) {
    const std::u16string c132 = U16(Chars(132)), c133 = U16(Chars(133));
    const std::vector<std::pair<std::string, Entries>> cases{
        // One keyword per line in file order; nothing trimmed, nothing merged.
        {Sjis("春の\r\n 静かな\r\n\t夏　\r\n春の\r\n"), {u"春の", u" 静かな", u"\t夏　", u"春の"}},
        {"a\r\n\r\nb\r\n", {u"a", u"", u"b"}},
        {"ab\r\ncd\032ef\r\n", {u"ab", u"cd"}},
        // A CR not followed by LF is an ordinary character.
        {"a\r\r\nb", {u"a\r", u"b"}},
        // A NUL ends its keyword; the rest of its piece is dropped.
        {Sjis(Chars(10)) + "\0"s + Sjis(Chars(189, 11)) + "\r\nnext",
         {U16(Chars(10)), U16(Chars(189, 11)).substr(121), u"next"}},
        // Pieces of at most 132 characters, the line feed counting in the last one.
        {Sjis(Chars(132)) + "\r\nnext", {c132, u"", u"next"}},
        {Sjis(Chars(133)) + "\r\nnext", {c133.substr(0, 132), c133.substr(132), u"next"}},
        // Bytes outside the code page are kept, but for a lead byte ending a keyword.
        {"X\x81\r\nY\x9F\nZ\xFC\r\n\xE0", {u"X?", u"Y?", u"Z?", u"?"}},
        {std::string(131, 'a') + "\x88" + Sjis("亜"), {std::u16string(131, u'a') + u"?", u"亜"}}};
    for (const auto& [bytes, entries] : cases) {
        EXPECT_EQ(Read(bytes), entries) << testing::PrintToString(bytes);
    }
}

// With CR LF, the CR of line 160 is byte 16383 of the file and its LF byte 16384; a lone
// CR at the end of a read chunk stays a character.
TEST_F(KeywordListTest, CrLfAndLfFilesGiveTheSameListAlsoAcrossReadChunks) {
    const std::string lf =
        std::string(63, 'a') + "\n" + test::Repeat(std::string(100, 'x') + "\n", 300) + "最後";
    std::string crlf;
    for (const char c : lf) {
        crlf += c == '\n' ? "\r\n" : std::string(1, c);
    }
    EXPECT_EQ(Read(crlf), Read(lf));
    EXPECT_EQ(Read(std::string(16383, 'a') + "\ry").value_or(Entries{}).back(),
              std::u16string(16383 % 132, u'a') + u"\ry");
}

TEST_F(KeywordListTest, AtMostAThousandKeywordsTheRestIgnoredSilently) {
    // 600 lines of 200 characters: the two pieces of each of the first 500, in order.
    std::string file;
    for (std::size_t i = 0; i < 600; ++i) {
        file += Sjis(Chars(200, i)) + "\r\n";
    }
    const Entries keywords = Read(file).value_or(Entries{});
    ASSERT_EQ(keywords.size(), 1000u);
    EXPECT_EQ(keywords[998] + keywords[999], U16(Chars(200, 499)));
}

TEST_F(KeywordListTest, Utf8FilesSkipTheirByteOrderMarkAndRefuseWhatIsNotUtf8) {
    const std::vector<std::pair<std::string, std::optional<Entries>>> cases{
        {"\xEF\xBB\xBF春\r\n夏", Entries{u"春", u"夏"}},
        {"\xEF\xBB\xBF\xEF\xBB\xBF春", Entries{u"\uFEFF春"}},
        // Characters code page 932 cannot hold, a pair counting as two of the 132 units.
        {"😀" + Chars(131), Entries{u"😀" + U16(Chars(130)), U16(Chars(1, 130))}}};
    for (const auto& [bytes, entries] : cases) {
        EXPECT_EQ(Read(bytes, true), entries) << testing::PrintToString(bytes);
    }
    for (const std::string& bytes :
         {Sjis("春の\r\n夏"), "\xE6\x98"s, "a\xC0\xAF"s, "\xED\xA0\x80"s, "\xF4\x90\x80\x80"s}) {
        EXPECT_EQ(Read(bytes, true), std::nullopt) << testing::PrintToString(bytes);
    }
}

// A piece ends one unit early rather than keep the first half of a pair as its 132nd unit;
// the pair starts the next piece. Anywhere else a pair changes nothing.
TEST_F(KeywordListTest, Utf8PiecesNeverCutACharacterOutsideTheBasicPlane) {
    const std::u16string a130(130, u'a'), a131(131, u'a'), a132(132, u'a');
    const std::u16string pair = u"𠮷", smiles66 = test::Repeat(std::u16string(u"😀"), 66);
    const std::vector<std::pair<std::string, Entries>> cases{
        {Utf8(a131) + "𠮷\nnext", {a131, pair, u"next"}},
        {Utf8(a131) + "𠮷", {a131, pair}},
        {Utf8(a131) + "𠮷" + Utf8(a131) + "\n", {a131, pair + a130, u"a"}},
        // The pair fits as units 131 and 132: the line feed makes the next, empty piece.
        {Utf8(a130) + "𠮷\n", {a130 + pair, u""}},
        {Utf8(a132) + "𠮷\n", {a132, pair}},
        {test::Utf8(smiles66) + "😀\n", {smiles66, u"😀"}},
        {"a" + test::Utf8(smiles66), {u"a" + smiles66.substr(0, 130), u"😀"}},
        // The second half of U+1F495 and of U+1F4F1 is also the unit of an escaped lead byte
        // of code page 932; in UTF-8 text it is no such byte.
        {"大好き💕\n📱", {u"大好き💕", u"📱"}}};
    for (const auto& [bytes, entries] : cases) {
        EXPECT_EQ(Read(bytes, true), entries) << testing::PrintToString(bytes);
    }
}

TEST(OpenDictionaryFile, RefusesMissingFilesFoldersAndFifosWithoutWaiting) {
    test::TempDir dir;
    std::vector<std::string> paths = {test::Utf8Path(dir.path()), dir.File("missing.dat"), ""s};
#ifndef _WIN32
    const std::string fifo = dir.File("fifo.dat");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    paths.push_back(fifo);  // waiting for a writer would hang
#endif
    for (const std::string& path : paths) {
        EXPECT_EQ(OpenDictionaryFile(path), nullptr) << path;
    }
}

#ifdef _WIN32
// Windows has no FIFO: a file held without sharing must be refused, not waited for.
TEST(OpenDictionaryFile, RefusesAFileLockedByAnotherHandle) {
    test::TempDir dir;
    const std::string path = dir.Write("locked.dat", "X\r\n");
    const HANDLE lock = CreateFileW(test::PathFromUtf8(path).c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenDictionaryFile(path), nullptr);
    CloseHandle(lock);
    std::FILE* file = OpenDictionaryFile(path);
    ASSERT_NE(file, nullptr);
    std::fclose(file);
}
#endif

}  // namespace
}  // namespace quillery
