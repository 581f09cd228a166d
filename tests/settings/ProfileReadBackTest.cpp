// A write is accepted only when a read gives back exactly what was written; found by the
// settings fuzz target (a value with a blank at its end was written, and read back
// without it).
#include <gtest/gtest.h>

#include <string>

#include "TestFiles.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"

namespace quillery {
namespace {

using testing::TempDir;
using testing::WriteBytes;

TEST(ProfileReadBack, ValuesThatAReadWouldChangeAreRefused) {
    const std::string text = "[A]\r\nk=old\r\n";
    const std::string values[] = {"new ", " new", "new\t", "\tnew", " ", std::string(512, 'x')};
    for (const std::string& value : values) {
        ProfileDocument document = ProfileDocument::Parse(text);
        EXPECT_FALSE(document.SetString("A", "k", value)) << '"' << value << '"';
        EXPECT_EQ(document.Serialize(), text) << '"' << value << '"';
    }
}

TEST(ProfileReadBack, EveryAcceptedValueReadsBackAsWritten) {
    // Blanks inside, the longest value a read gives back, one ending in a lone lead byte,
    // a full-width space (not a blank) at the end.
    const std::string values[] = {"",        "two  words", "a\tb",     std::string(511, 'x'),
                                  "abc\x81", "\x81\x40",   "x\x81\x40"};
    for (const std::string& value : values) {
        ProfileDocument document = ProfileDocument::Parse("[A]\r\nk=old\r\n");
        ASSERT_TRUE(document.SetString("A", "k", value)) << '"' << value << '"';
        EXPECT_EQ(ProfileDocument::Parse(document.Serialize()).Find("A", "k"), value);
    }
}

TEST(ProfileReadBack, ADictionaryPathThatWouldComeBackAsAnotherFileKeepsTheOldEntry) {
    TempDir dir;
    WriteBytes(dir.File(kSettingsFileName), "[Settings]\r\nData=/data/old.dat\r\n");
    Settings settings;
    // "dict.dat " is a file of its own on this platform; "dict.dat" may be another one.
    ASSERT_TRUE(settings.dictionaryPath.Assign("/data/dict.dat "));
    settings.insertRatio = 6;
    ASSERT_TRUE(SaveSettingsTo(dir.Path(), settings, WindowState{}));
    Settings loaded;
    LoadSettingsFrom(dir.Path(), loaded);
    EXPECT_EQ(loaded.dictionaryPath.Bytes(), "/data/old.dat");
    EXPECT_EQ(loaded.insertRatio, 6);
}

}  // namespace
}  // namespace quillery
