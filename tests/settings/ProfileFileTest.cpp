#include "settings/ProfileFile.h"

#include <gtest/gtest.h>

#include <string>

#include "TestFiles.h"

namespace quillery {
namespace {

using testing::Entries;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

// Code page 932 characters whose second byte is 0x5C, and two katakana that differ only
// in a second byte that looks like an ASCII letter.
const std::string kHyo = "\x95\x5C";     // 表
const std::string kSo = "\x83\x5C";      // ソ
const std::string kKanaA = "\x83\x41";   // ア
const std::string kKanaYa = "\x83\x61";  // ャ

std::string Get(const std::string& text, std::string_view section, std::string_view key) {
    return ProfileDocument::Parse(text).GetString(section, key, "<default>");
}

std::string Set(const std::string& text, std::string_view section, std::string_view key,
                std::string_view value) {
    ProfileDocument document = ProfileDocument::Parse(text);
    EXPECT_TRUE(document.SetString(section, key, value));
    return document.Serialize();
}

TEST(ProfileRead, MatchesSectionsAndKeysWithoutRegardToCase) {
    const std::string text = "[settings]\r\nDATA=abc\r\n[WINDOW]\r\nwidth=12\r\n";
    EXPECT_EQ(Get(text, "Settings", "Data"), "abc");
    EXPECT_EQ(Get(text, "Window", "Width"), "12");
    EXPECT_EQ(Get(text, "window", "WIDTH"), "12");
}

TEST(ProfileRead, DoesNotFoldTheSecondByteOfADoubleByteCharacter) {
    const std::string text = "[" + kKanaA + "]\r\nk" + kKanaA + "=1\r\n";
    EXPECT_EQ(Get(text, kKanaA, "K" + kKanaA), "1");
    EXPECT_EQ(Get(text, kKanaYa, "k" + kKanaA), "<default>");
    EXPECT_EQ(Get(text, kKanaA, "k" + kKanaYa), "<default>");
}

TEST(ProfileRead, DropsBlanksAroundNamesAndValue) {
    const std::string text = "  [ Window ]  \r\n \t Width \t=  \t 640 \t \r\n";
    EXPECT_EQ(Get(text, "Window", "Width"), "640");
    EXPECT_EQ(Get("[A]\r\nk=  two words  \r\n", "A", "k"), "two words");
}

TEST(ProfileRead, GivesTheDefaultWhenSectionOrKeyIsMissing) {
    const std::string text = "[A]\r\nk=1\r\n[B]\r\n";
    EXPECT_EQ(Get(text, "C", "k"), "<default>");
    EXPECT_EQ(Get(text, "A", "other"), "<default>");
    // A key of another section does not count.
    EXPECT_EQ(Get(text, "B", "k"), "<default>");
    // Entries before the first section belong to none.
    EXPECT_EQ(Get("k=0\r\n[A]\r\n", "A", "k"), "<default>");
    EXPECT_EQ(Get("", "A", "k"), "<default>");
}

TEST(ProfileRead, AnEmptyValueIsAValue) {
    const ProfileDocument document = ProfileDocument::Parse("[A]\r\nk=\r\n");
    EXPECT_EQ(document.Find("A", "k"), std::optional<std::string>(""));
    EXPECT_EQ(document.GetString("A", "k", "x"), "");
}

TEST(ProfileRead, IgnoresCommentsAndLinesOfOtherForms) {
    const std::string text =
        "; k=comment\r\n[A]\r\n;k=commented out\r\n  ; k=also\r\njust words\r\n[B\r\nk=2\r\n";
    EXPECT_EQ(Get(text, "A", "k"), "2");
    EXPECT_EQ(Get(text, "A", ";k"), "<default>");
}

TEST(ProfileRead, ReadsLfOnlyFilesAndALastLineWithoutBreak) {
    EXPECT_EQ(Get("[A]\nk=1\nj=2", "A", "k"), "1");
    EXPECT_EQ(Get("[A]\nk=1\nj=2", "A", "j"), "2");
    EXPECT_EQ(Get("[A]\r\nj=2\r", "A", "j"), "2");
}

TEST(ProfileRead, TakesTheFirstOfDuplicateSectionsAndKeys) {
    EXPECT_EQ(Get("[A]\r\nk=1\r\nk=2\r\n", "A", "k"), "1");
    EXPECT_EQ(Get("[A]\r\nk=1\r\n[a]\r\nk=2\r\n", "A", "k"), "1");
    // Only the first section is looked in.
    EXPECT_EQ(Get("[A]\r\n[B]\r\n[A]\r\nk=2\r\n", "A", "k"), "<default>");
}

TEST(ProfileRead, KeepsCodePage932BytesOfTheValue) {
    // 0x5C second bytes and "=" inside the value belong to the value.
    const std::string path = "C:\\" + kHyo + "\\" + kSo + "=x.txt";
    EXPECT_EQ(Get("[Settings]\r\nData=" + path + "\r\n", "Settings", "Data"), path);
}

TEST(ProfileRead, FindsTheEqualsSignCharacterByCharacter) {
    // After a lead byte the next byte is its second half, even when it is "=" or "]".
    const std::string text = "[A\x81]]\r\n\x81=k=v\r\n";
    EXPECT_EQ(Get(text, "A\x81]", "\x81=k"), "v");
    EXPECT_EQ(Get(text, "A\x81]", "\x81"), "<default>");
}

TEST(ProfileRead, CutsTheValueAt511BytesBetweenCharacters) {
    const std::string longValue(600, 'a');
    EXPECT_EQ(Get("[A]\r\nk=" + longValue + "\r\n", "A", "k"), std::string(511, 'a'));
    // A double-byte character that would end at byte 512 is left out whole.
    EXPECT_EQ(Get("[A]\r\nk=" + std::string(510, 'a') + kHyo + "\r\n", "A", "k"),
              std::string(510, 'a'));
    EXPECT_EQ(Get("[A]\r\nk=" + std::string(509, 'a') + kHyo + "b\r\n", "A", "k"),
              std::string(509, 'a') + kHyo);
    EXPECT_EQ(ProfileDocument().GetString("A", "k", longValue), std::string(511, 'a'));
}

TEST(ProfileRead, EndsTheValueAtANulByte) {
    EXPECT_EQ(Get(std::string("[A]\r\nk=ab\0cd\r\n", 14), "A", "k"), "ab");
}

TEST(ProfileWrite, ParseAndSerializeGiveBackEveryByte) {
    const std::string texts[] = {
        "",
        "no break",
        "\r\n\r\n",
        "[A]\nk=1\r\nlone\rcr\n\xFF\x81\n; c\n[B]  trailing\r",
        "  [ A ]\r\n\tk = v \r\n" + kHyo + kSo + "=" + kSo + "\r\n",
    };
    for (const std::string& text : texts) {
        EXPECT_EQ(ProfileDocument::Parse(text).Serialize(), text);
    }
}

TEST(ProfileWrite, CreatesSectionAndEntryInAnEmptyDocument) {
    EXPECT_EQ(Set("", "Settings", "Data", ""), "[Settings]\r\nData=\r\n");
}

TEST(ProfileWrite, ReplacesTheValueInPlace) {
    EXPECT_EQ(Set("; top\r\n[A]\r\nx=0\r\nk = old \r\ny=0\r\n", "A", "k", "new"),
              "; top\r\n[A]\r\nx=0\r\nk=new\r\ny=0\r\n");
}

TEST(ProfileWrite, ReplacesOnlyTheFirstOfDuplicates) {
    EXPECT_EQ(Set("[A]\r\nk=1\r\nk=2\r\n[a]\r\nk=3\r\n", "A", "K", "9"),
              "[A]\r\nK=9\r\nk=2\r\n[a]\r\nk=3\r\n");
}

TEST(ProfileWrite, AddsANewKeyAfterTheLastEntryOfItsSection) {
    EXPECT_EQ(Set("[A]\r\nx=1\r\n; note\r\n\r\n[B]\r\ny=2\r\n", "A", "k", "v"),
              "[A]\r\nx=1\r\nk=v\r\n; note\r\n\r\n[B]\r\ny=2\r\n");
    // A section without entries takes it right after its header.
    EXPECT_EQ(Set("[A]\r\n\r\n[B]\r\n", "a", "k", "v"), "[A]\r\nk=v\r\n\r\n[B]\r\n");
    // In the first of two sections of the same name.
    EXPECT_EQ(Set("[A]\r\nx=1\r\n[B]\r\n[A]\r\ny=2\r\n", "A", "y", "3"),
              "[A]\r\nx=1\r\ny=3\r\n[B]\r\n[A]\r\ny=2\r\n");
}

TEST(ProfileWrite, AddsAMissingSectionAtTheEnd) {
    EXPECT_EQ(Set("[A]\r\nx=1\r\n; tail\r\n", "B", "k", "v"),
              "[A]\r\nx=1\r\n; tail\r\n[B]\r\nk=v\r\n");
}

TEST(ProfileWrite, StartsANewLineAfterALastLineWithoutBreak) {
    EXPECT_EQ(Set("[A]\r\nx=1", "B", "k", "v"), "[A]\r\nx=1\r\n[B]\r\nk=v\r\n");
    EXPECT_EQ(Set("[A]\r\nx=1", "A", "k", "v"), "[A]\r\nx=1\r\nk=v\r\n");
    EXPECT_EQ(Set("[A]", "A", "k", "v"), "[A]\r\nk=v\r\n");
}

TEST(ProfileWrite, KeepsLfOnlyLinesAndWritesCrLf) {
    EXPECT_EQ(Set("[A]\nx=1\nk=2\n\n", "A", "k", "3"), "[A]\nx=1\nk=3\r\n\n");
    EXPECT_EQ(Set("[A]\nx=1\n", "A", "k", "3"), "[A]\nx=1\nk=3\r\n");
}

TEST(ProfileWrite, KeepsOtherCodePage932BytesAndWritesTheValueAsItIs) {
    const std::string other = "[" + kHyo + "]\r\n" + kSo + "=" + kHyo + "\\\r\n\xFF\x81\r\n";
    const std::string value = "C:\\" + kHyo + "\\" + kSo + "=.txt";
    EXPECT_EQ(Set(other + "[A]\r\n", "A", "k", value), other + "[A]\r\nk=" + value + "\r\n");
}

TEST(ProfileWrite, SeveralWritesToOneDocument) {
    ProfileDocument document = ProfileDocument::Parse("[A]\r\nk=1\r\n");
    EXPECT_TRUE(document.SetString("A", "k", "2"));
    EXPECT_TRUE(document.SetString("B", "j", "3"));
    EXPECT_TRUE(document.SetString("A", "m", "4"));
    EXPECT_TRUE(document.SetString("B", "j", "5"));
    EXPECT_EQ(document.Serialize(), "[A]\r\nk=2\r\nm=4\r\n[B]\r\nj=5\r\n");
    EXPECT_EQ(document.GetString("A", "m", ""), "4");
}

TEST(ProfileWrite, RefusesWhatWouldNotReadBack) {
    ProfileDocument document = ProfileDocument::Parse("[A]\r\nk=1\r\n");
    const ProfileDocument before = document;
    EXPECT_FALSE(document.SetString("A", "k", "two\r\n[Lines]"));
    EXPECT_FALSE(document.SetString("A", "k", "lf\nonly"));
    EXPECT_FALSE(document.SetString("A", "k", std::string("nul\0", 4)));
    EXPECT_FALSE(document.SetString("A", "", "v"));
    EXPECT_FALSE(document.SetString("A", "a=b", "v"));
    EXPECT_FALSE(document.SetString("A", ";k", "v"));
    EXPECT_FALSE(document.SetString("A", "[k]", "v"));
    EXPECT_FALSE(document.SetString("A]", "k", "v"));
    EXPECT_FALSE(document.SetString("", "k", "v"));
    EXPECT_EQ(document, before);
}

TEST(ProfileFileAccess, ReadsTheDefaultWhenTheFileIsMissing) {
    TempDir dir;
    EXPECT_EQ(GetPrivateProfileStringA("A", "k", "dflt", dir.File("none.ini")), "dflt");
    // A folder is no file either.
    EXPECT_EQ(GetPrivateProfileStringA("A", "k", "dflt", dir.Path()), "dflt");
}

TEST(ProfileFileAccess, CreatesTheFileAndUpdatesIt) {
    TempDir dir;
    const std::string path = dir.File("p.ini");
    EXPECT_TRUE(WritePrivateProfileStringA("A", "k", "1", path));
    EXPECT_EQ(ReadBytes(path), "[A]\r\nk=1\r\n");
    WriteBytes(path, "; hand\nwritten\n[a]\nK = 1\nother=x");
    EXPECT_TRUE(WritePrivateProfileStringA("A", "k", "2", path));
    EXPECT_TRUE(WritePrivateProfileStringA("A", "new", "3", path));
    EXPECT_EQ(ReadBytes(path), "; hand\nwritten\n[a]\nk=2\r\nother=x\r\nnew=3\r\n");
    EXPECT_EQ(GetPrivateProfileStringA("a", "NEW", "", path), "3");
    EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"p.ini"});
}

TEST(ProfileFileAccess, FailsWithoutTouchingAnything) {
    TempDir dir;
    // A folder where the file should be, and a folder that does not exist.
    EXPECT_FALSE(WritePrivateProfileStringA("A", "k", "1", dir.Path()));
    EXPECT_FALSE(WritePrivateProfileStringA("A", "k", "1", dir.File("missing/p.ini")));
    EXPECT_TRUE(Entries(dir.Path()).empty());
}

}  // namespace
}  // namespace quillery
