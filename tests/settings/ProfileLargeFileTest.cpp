// A settings file of millions of short lines: the document holds it at about its own
// size, and a save keeps every line. Each line used to cost two strings of its own, so
// 10 MB of empty lines took over a gigabyte and seconds to load and save.
#include <gtest/gtest.h>
#include <malloc.h>

#include <string>

#include "TestFiles.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"

namespace quillery {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

// A quarter of a million lines: enough to tell a few bytes a line from a hundred.
constexpr std::size_t kEmptyLines = 256 * 1024;
const std::string kManyLines = "[Settings]\r\nRatio=6\r\n" + std::string(kEmptyLines, '\n');

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QUILLERY_OWN_HEAP 0
#else
#define QUILLERY_OWN_HEAP 1
std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}
#endif

TEST(ProfileLargeFile, ADocumentOfManyLinesTakesAboutItsSize) {
#if !QUILLERY_OWN_HEAP
    GTEST_SKIP() << "the sanitizers keep their own heap, which mallinfo2 does not see";
#else
    const std::size_t before = HeapInUse();
    const ProfileDocument document = ProfileDocument::Parse(kManyLines);
    const std::size_t used = HeapInUse() - before;
    EXPECT_LT(used, 2 * kManyLines.size());
    EXPECT_EQ(document.Find("Settings", "Ratio"), "6");
#endif
}

TEST(ProfileLargeFile, ASaveKeepsEveryLineAndAddsTheKeysWhereTheyBelong) {
    TempDir dir;
    WriteBytes(dir.File(kSettingsFileName), kManyLines);
    Settings settings;
    LoadSettingsFrom(dir.Path(), settings);
    EXPECT_EQ(settings.insertRatio, 6);
    ASSERT_TRUE(SaveSettingsTo(dir.Path(), settings, WindowState{false, false, 1, 2, 3, 4}));

    const std::string saved = ReadBytes(dir.File(kSettingsFileName));
    // The section's new entry follows its last one; the empty lines stay, and the two
    // new sections come after them.
    const std::string head = "[Settings]\r\nRatio=6\r\nData=\r\n";
    ASSERT_GE(saved.size(), head.size() + kEmptyLines);
    EXPECT_EQ(saved.substr(0, head.size()), head);
    EXPECT_EQ(saved.substr(head.size(), kEmptyLines), std::string(kEmptyLines, '\n'));
    EXPECT_EQ(saved.substr(head.size() + kEmptyLines),
              "[Window]\r\nWindowRatio=3\r\nBlackBackgrownd=0\r\nEditReadOnly=0\r\n"
              "XPos=1\r\nYPos=2\r\nWidth=2\r\nHeight=2\r\n"
              "[Debug]\r\nInsertMark=0\r\nUseRandom=0\r\nRandomSeed=0\r\nNewestRandomSeed=0\r\n");
}

}  // namespace
}  // namespace quillery
