#include "settings/FileNames.h"

#include <gtest/gtest.h>

#include <string>

namespace quillery {
namespace {

const std::string kHyo = "\x95\x5C";  // 表
const std::string kSo = "\x83\x5C";   // ソ

TEST(FileNameConversion, Cp932NameToFileSystemName) {
    EXPECT_EQ(Cp932ToFileSystemName("/home/user/words.txt"),
              std::optional<std::string>("/home/user/words.txt"));
    EXPECT_EQ(Cp932ToFileSystemName("/data/" + kHyo + kSo + "\\x.dat"),
              std::optional<std::string>("/data/表ソ\\x.dat"));
    // Half-width katakana, an NEC and an IBM extension character.
    EXPECT_EQ(Cp932ToFileSystemName("\xB1\x87\x40\xFA\x40"), std::optional<std::string>("ｱ①ⅰ"));
    EXPECT_EQ(Cp932ToFileSystemName(""), std::optional<std::string>(""));
}

TEST(FileNameConversion, RefusesCp932NamesThatDoNotDecode) {
    EXPECT_EQ(Cp932ToFileSystemName("/data/\x95"), std::nullopt);    // lead byte at the end
    EXPECT_EQ(Cp932ToFileSystemName("/data/\x81 x"), std::nullopt);  // bad second byte
    EXPECT_EQ(Cp932ToFileSystemName("/data/\x80x"), std::nullopt);   // no such byte
    EXPECT_EQ(Cp932ToFileSystemName("/data/a\nb"), std::nullopt);
    EXPECT_EQ(Cp932ToFileSystemName("/data/a\rb"), std::nullopt);
    EXPECT_EQ(Cp932ToFileSystemName(std::string("/data/a\0b", 9)), std::nullopt);
}

TEST(FileNameConversion, FileSystemNameToCp932) {
    EXPECT_EQ(FileSystemNameToCp932("/data/表ソ.txt"),
              std::optional<std::string>("/data/" + kHyo + kSo + ".txt"));
    EXPECT_EQ(FileSystemNameToCp932("ｱ①ⅰ～"),
              std::optional<std::string>("\xB1\x87\x40\xFA\x40\x81\x60"));
    // A question mark of the name itself is no sign of a failed conversion.
    EXPECT_EQ(FileSystemNameToCp932("/data/why?.txt"),
              std::optional<std::string>("/data/why?.txt"));
}

TEST(FileNameConversion, RefusesFileSystemNamesCodePage932CannotHold) {
    EXPECT_EQ(FileSystemNameToCp932("/data/\xC3\x28.txt"), std::nullopt);  // malformed UTF-8
    EXPECT_EQ(FileSystemNameToCp932("/data/\xED\xB2\x80"), std::nullopt);  // encoded surrogate
    EXPECT_EQ(FileSystemNameToCp932("/data/😀.txt"), std::nullopt);
    EXPECT_EQ(FileSystemNameToCp932("/data/café.txt"), std::nullopt);
    // Characters that would come back as a look-alike: the name would be another file's.
    EXPECT_EQ(FileSystemNameToCp932("/data/〜.txt"), std::nullopt);  // U+301C
    EXPECT_EQ(FileSystemNameToCp932("/data/¥.txt"), std::nullopt);
    EXPECT_EQ(FileSystemNameToCp932("/data/a\nb"), std::nullopt);
    EXPECT_EQ(FileSystemNameToCp932(std::string("/data/a\0b", 9)), std::nullopt);
}

TEST(FileNameConversion, BothWaysGiveBackTheName) {
    for (const std::string native : {"/tmp/辞書/キーワード.txt", "C:\\表\\ソ", "ｶﾀｶﾅ ①"}) {
        const auto cp932 = FileSystemNameToCp932(native);
        ASSERT_TRUE(cp932) << native;
        EXPECT_EQ(Cp932ToFileSystemName(*cp932), std::optional<std::string>(native));
    }
}

TEST(FileNameFromPath, TakesThePartAfterTheLastSeparator) {
    EXPECT_EQ(FileNameFromPath("D:\\data\\words.txt"), "words.txt");
    EXPECT_EQ(FileNameFromPath("/home/user/words.txt"), "words.txt");
    EXPECT_EQ(FileNameFromPath("D:/data\\sub/words"), "words");
    EXPECT_EQ(FileNameFromPath("archive.tar.gz"), "archive.tar.gz");
    EXPECT_EQ(FileNameFromPath("\\\\server\\share\\a.txt"), "a.txt");
}

TEST(FileNameFromPath, EdgeCases) {
    EXPECT_EQ(FileNameFromPath(""), "");
    EXPECT_EQ(FileNameFromPath("D:\\data\\"), "");
    EXPECT_EQ(FileNameFromPath("/"), "");
    EXPECT_EQ(FileNameFromPath("C:x.txt"), "x.txt");
    EXPECT_EQ(FileNameFromPath("C:"), "");
    EXPECT_EQ(FileNameFromPath("C:\\x.txt"), "x.txt");
    // Only a letter makes a drive.
    EXPECT_EQ(FileNameFromPath("1:x.txt"), "1:x.txt");
    EXPECT_EQ(FileNameFromPath("ab:x.txt"), "ab:x.txt");
}

TEST(FileNameFromPath, SecondBytesAreNoSeparators) {
    EXPECT_EQ(FileNameFromPath("D:\\" + kHyo + ".txt"), kHyo + ".txt");
    EXPECT_EQ(FileNameFromPath("D:\\dir\\" + kSo + kHyo), kSo + kHyo);
    EXPECT_EQ(FileNameFromPath(kHyo), kHyo);
    EXPECT_EQ(FileNameFromPath("C:" + kSo + ".dat"), kSo + ".dat");
    // A real separator after such a character still counts.
    EXPECT_EQ(FileNameFromPath("D:\\" + kHyo + "\\x.txt"), "x.txt");
    // A lead byte at the very end stands alone.
    EXPECT_EQ(FileNameFromPath("D:\\a\\\x95"), "\x95");
}

}  // namespace
}  // namespace quillery
