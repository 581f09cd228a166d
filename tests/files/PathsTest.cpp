#include <gtest/gtest.h>

#include <string>

#include "files/Paths.h"

namespace quillery {
namespace {

// A path is refused only when the platform could not open it: on Windows the limit is in
// UTF-16 units, and a Japanese name takes three UTF-8 bytes but one unit a character.
TEST(PathsTest, LengthLimitCountsAsThePlatformDoes) {
    const std::string kanji = "\xE8\xAA\x9E";             // 語: 3 bytes, 1 unit
    const std::string beyondPlane = "\xF0\x9F\x98\x80";  // 4 bytes, 2 units
#ifdef _WIN32
    EXPECT_EQ(PathLength(kanji + "a" + beyondPlane), 4u);
    std::string folder = "C:\\";
    while (PathLength(folder) + 2 < kPathCapacity - 10) {
        folder += kanji;
    }
    ASSERT_GT(folder.size(), kPathCapacity);  // too long if bytes were counted
#else
    EXPECT_EQ(PathLength(kanji + "a" + beyondPlane), 8u);
    std::string folder = "/";
    while (PathLength(folder) + 3 < kPathCapacity - 10) {
        folder += kanji;
    }
#endif
    folder += kPathSeparator;
    const std::size_t room = kPathCapacity - 1 - PathLength(folder);
    const std::string fits(room, 'n');
    EXPECT_EQ(JoinPath(folder, fits), folder + fits);
    EXPECT_FALSE(JoinPath(folder, fits + "n"));
}

}  // namespace
}  // namespace quillery
