// The converter's code page 932 input, read a piece at a time: a read error part-way
// leaves the conversion of every whole line read before it, and nothing after.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/PieceInput.h"
#include "tests/engine/TestSupport.h"

namespace quillery {
namespace {

#if defined(__GLIBC__)
// A stream of `text` whose reads fail once `failAt` bytes have been read, short of its end.
struct FailingSource {
    std::string text;
    std::size_t failAt;
    std::size_t at = 0;
};

ssize_t ReadFailing(void* cookie, char* buffer, std::size_t size) {
    auto* source = static_cast<FailingSource*>(cookie);
    if (source->at == source->text.size()) {
        return 0;
    }
    if (source->at >= source->failAt) {
        return -1;
    }
    const std::size_t n = std::min(size, source->failAt - source->at);
    std::memcpy(buffer, source->text.data() + source->at, n);
    source->at += n;
    return static_cast<ssize_t>(n);
}

struct PieceRun {
    bool converted;
    std::string out;
    bool firstRead;
};

PieceRun ConvertFailing(const std::string& text, std::size_t failAt) {
    FailingSource source{text, failAt};
    std::FILE* in = fopencookie(&source, "rb", {ReadFailing, nullptr, nullptr, nullptr});
    PieceRun run{false, {}, false};
    RandomSource random = test::Seeded(3);
    run.converted =
        ConvertInPieces(
            in, test::Keywords({"鍵"}), {6, false}, random,
            [&](std::string_view piece) { run.out += piece; }, [&] { run.firstRead = true; })
            .has_value();
    std::fclose(in);
    return run;
}

TEST(ConvertInPieces, AReadErrorPartWayKeepsTheWholeLinesBeforeIt) {
    std::string text;
    while (text.size() < 3 * kFirstPieceBytes) {
        text +=
            test::Sjis("吾輩は猫である。名前はまだ無い。") + std::to_string(text.size()) + "\r\n";
    }
    // The first piece reads; the second fails. The lines whole in the first piece are
    // those with a byte after their line break within it; converted as a text of their
    // own, the last would lose its line break.
    const PieceRun failed = ConvertFailing(text, kFirstPieceBytes + 1000);
    EXPECT_FALSE(failed.converted);
    EXPECT_TRUE(failed.firstRead);
    const std::size_t lastBreak = text.rfind("\r\n", kFirstPieceBytes - 3);
    RandomSource random = test::Seeded(3);
    const auto whole =
        ConvertText(text.substr(0, lastBreak + 2), test::Keywords({"鍵"}), {6, false}, random);
    EXPECT_EQ(failed.out.size(), whole.text.size() + 2);
    EXPECT_TRUE(failed.out == whole.text + "\r\n");

    // Nothing read, nothing written, and no seed told.
    const PieceRun none = ConvertFailing(text, 0);
    EXPECT_FALSE(none.converted);
    EXPECT_FALSE(none.firstRead);
    EXPECT_EQ(none.out, "");

    // Read to the end: the whole text.
    const PieceRun all = ConvertFailing(text, text.size());
    EXPECT_TRUE(all.converted);
    RandomSource again = test::Seeded(3);
    EXPECT_TRUE(all.out == ConvertText(text, test::Keywords({"鍵"}), {6, false}, again).text);
}
#else
TEST(ConvertInPieces, AReadErrorPartWayKeepsTheWholeLinesBeforeIt) {
    GTEST_SKIP() << "a stream that fails on demand needs glibc's fopencookie";
}
#endif

}  // namespace
}  // namespace quillery
