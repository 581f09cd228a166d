// The steps of a conversion run as the window sees them, through a host that records
// every call in order.

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "engine/ConversionRun.h"
#include "tests/engine/TestSupport.h"

namespace quillery {
namespace {

using test::Sjis;
using test::TempDir;
using test::Utf8;

class RecordingHost : public RunHost {
  public:
    void ShowMessage(std::u16string_view text) override {
        calls.push_back("message " + Utf8(text));
    }
    void SetBusy(bool busy) override { calls.push_back(busy ? "busy on" : "busy off"); }
    void PostStatus(std::u16string text) override { calls.push_back("status " + Utf8(text)); }
    void RecordNewestSeed(std::int32_t seed) override {
        calls.push_back("seed " + std::to_string(seed));
    }
    void SetOutput(std::u16string text) override { calls.push_back("output " + Utf8(text)); }

    std::vector<std::string> calls;
};

const std::string kNoDictionary =
    "message "
    "辞書ファイルを設定してください。\r\n\r\nメニューの[変換設定]→[辞書ファイル設定]で設定します。";
const std::string kWorkedExampleStatus =
    "status 変換終了： [挿入文節2 / 総文節3 = 挿入率66.7%] [解析行1] [辞書の単語1個] [出力13文字]";

class ConversionRunTest : public testing::Test {
  protected:
    RunRequest Request(std::string_view dictionaryBytes, std::int32_t ratio = 5) {
        RunRequest request;
        request.dictionaryPathEmpty = false;
        request.dictionaryFile = dir_.Write("velmo.dat", dictionaryBytes);
        request.insertRatio = ratio;
        return request;
    }

    // The whole run with the worked example's text; the clock gives `clockSeed`.
    std::vector<std::string> RunWorkedExample(const RunRequest& request, std::int32_t clockSeed) {
        std::optional<PreparedRun> run = PrepareRun(request, host_, [&] {
            ++clockReads_;
            return clockSeed;
        });
        if (run) {
            FinishRun(std::move(*run), u"私は東京に行きました。", host_);
        }
        return host_.calls;
    }

    TempDir dir_;
    RecordingHost host_;
    int clockReads_ = 0;
};

TEST_F(ConversionRunTest, EmptyPathOnlyShowsItsMessage) {
    RunRequest request;
    request.dictionaryPathEmpty = true;
    request.dictionaryFile = dir_.Write("velmo.dat", "X\r\n");
    EXPECT_EQ(RunWorkedExample(request, 1), std::vector<std::string>{kNoDictionary});
    EXPECT_EQ(clockReads_, 0);
}

TEST_F(ConversionRunTest, DictionaryThatDoesNotOpenOnlyShowsItsMessage) {
    RunRequest request = Request("X\r\n");
    request.dictionaryFile = (dir_.path() / "missing.dat").string();
    EXPECT_EQ(RunWorkedExample(request, 1),
              std::vector<std::string>{"message 辞書ファイルが開けません"});

    host_.calls.clear();
    request.dictionaryFile = dir_.path().string();  // a folder
    EXPECT_EQ(RunWorkedExample(request, 1),
              std::vector<std::string>{"message 辞書ファイルが開けません"});

    host_.calls.clear();
    request.dictionaryFile.reset();  // a name the file system cannot express
    EXPECT_EQ(RunWorkedExample(request, 1),
              std::vector<std::string>{"message 辞書ファイルが開けません"});
    EXPECT_EQ(clockReads_, 0);
}

TEST_F(ConversionRunTest, EmptyDictionaryLeavesTheBusyStatusAndTakesNoSeed) {
    const std::vector<std::string> expected{"busy on", "status 処理中．．．",
                                            "message 辞書ファイルが空です", "busy off"};
    EXPECT_EQ(RunWorkedExample(Request(""), 1), expected);
    host_.calls.clear();
    EXPECT_EQ(RunWorkedExample(Request("\x1A"
                                       "X\r\n"),
                               1),
              expected);
    EXPECT_EQ(clockReads_, 0);
}

TEST_F(ConversionRunTest, FullRunSeedsFromTheClockAndRecordsTheSeed) {
    EXPECT_EQ(RunWorkedExample(Request("X\r\n"), 1),
              (std::vector<std::string>{"busy on", "status 処理中．．．", "seed 1",
                                        "output X私はX東京に行きました。", kWorkedExampleStatus,
                                        "busy off"}));
    EXPECT_EQ(clockReads_, 1);
}

TEST_F(ConversionRunTest, ClockSeedIsUsedAsItIs) {
    const std::int32_t seed = 1718000000;
    RandomSource random;
    random.Seed(static_cast<std::uint32_t>(seed));
    const auto expected =
        ConvertText(std::u16string_view(u"私は東京に行きました。"), test::Keywords({"X", "Y", "Z"}),
                    ConversionOptions{5, false}, random);
    const auto calls = RunWorkedExample(Request("X\r\nY\r\nZ\r\n"), seed);
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[2], "seed 1718000000");
    EXPECT_EQ(calls[3], "output " + Utf8(expected.text));
}

TEST_F(ConversionRunTest, FixedSeedOnlyInADebugRunWithUseFixedSeed) {
    struct Case {
        std::int32_t debugRun;
        std::int32_t useFixedSeed;
        bool fixed;
    };
    for (const Case c : {Case{1, 1, true}, Case{0, 1, false}, Case{1, 0, false}, Case{0, 0, false},
                         Case{2, 1, false}, Case{1, 2, false}}) {
        host_.calls.clear();
        clockReads_ = 0;
        RunRequest request = Request("X\r\n");
        request.debugRun = c.debugRun;
        request.useFixedSeed = c.useFixedSeed;
        // The fixed seed gives the worked example, the clock's seed does not.
        request.randomSeed = c.fixed ? 1u : 4u;
        const auto calls = RunWorkedExample(request, c.fixed ? 4 : 1);
        SCOPED_TRACE("debugRun " + std::to_string(c.debugRun) + " useFixedSeed " +
                     std::to_string(c.useFixedSeed));
        EXPECT_EQ(clockReads_, c.fixed ? 0 : 1);
        std::vector<std::string> expected{"busy on", "status 処理中．．．"};
        if (!c.fixed) {
            expected.push_back("seed 1");
        }
        expected.insert(expected.end(),
                        {"output X私はX東京に行きました。", kWorkedExampleStatus, "busy off"});
        EXPECT_EQ(calls, expected);
    }
}

TEST_F(ConversionRunTest, MarkersOnlyInADebugRunWithInsertMark) {
    struct Case {
        std::int32_t debugRun;
        std::int32_t insertMark;
        bool marked;
    };
    for (const Case c : {Case{1, 1, true}, Case{0, 1, false}, Case{1, 0, false}, Case{2, 1, false},
                         Case{1, 2, false}}) {
        host_.calls.clear();
        RunRequest request = Request("X\r\n");
        request.debugRun = c.debugRun;
        request.insertMark = c.insertMark;
        const auto calls = RunWorkedExample(request, 1);
        SCOPED_TRACE("debugRun " + std::to_string(c.debugRun) + " insertMark " +
                     std::to_string(c.insertMark));
        ASSERT_EQ(calls.size(), 6u);
        EXPECT_EQ(calls[3], c.marked ? "output <X>私は<X>東京に<>行きました。"
                                     : "output X私はX東京に行きました。");
    }
}

TEST_F(ConversionRunTest, RatioTenAndEmptyInput) {
    std::optional<PreparedRun> run =
        PrepareRun(Request(Sjis("春の\r\n夏の\r\n"), 10), host_, [] { return 7; });
    ASSERT_TRUE(run);
    FinishRun(std::move(*run), u"", host_);
    EXPECT_EQ(host_.calls,
              (std::vector<std::string>{"busy on", "status 処理中．．．", "seed 7", "output ",
                                        "status 変換終了：[挿入文節0 / 総文節0 = 挿入率0.0%] "
                                        "[解析行0] [辞書の単語2個] [出力0文字]",
                                        "busy off"}));

    host_.calls.clear();
    run = PrepareRun(Request("X\r\n", 10), host_, [] { return 7; });
    ASSERT_TRUE(run);
    FinishRun(std::move(*run), u"東京\r\n大阪", host_);
    ASSERT_EQ(host_.calls.size(), 6u);
    EXPECT_EQ(host_.calls[3], "output X東京\r\nX大阪");
    EXPECT_EQ(host_.calls[4],
              "status 変換終了： [挿入文節2 / 総文節2 = 挿入率100.0%] [解析行2] [辞書の単語1個] "
              "[出力7文字]");
}

TEST_F(ConversionRunTest, StoppedConversionTellsTheHostNothingMore) {
    std::optional<PreparedRun> run = PrepareRun(Request("X\r\n", 10), host_, [] { return 7; });
    ASSERT_TRUE(run);
    const std::atomic<bool> stop{true};
    FinishRun(std::move(*run), u"東京\r\n大阪\r\n京都", host_, &stop);
    EXPECT_EQ(host_.calls, (std::vector<std::string>{"busy on", "status 処理中．．．", "seed 7"}));
}

TEST(ConvertTextStop, EndsAfterTheLineAtHandAndSaysSo) {
    KeywordList keywords;
    keywords.Append(u"X");
    RandomSource random;
    const std::atomic<bool> stop{true};
    const auto stopped = ConvertText(std::u16string_view(u"東京\r\n大阪\r\n京都"), keywords,
                                     {10, false}, random, &stop);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(stopped.stats.lineCount, 1);
    EXPECT_EQ(stopped.text, u"X東京\r\n");

    const std::atomic<bool> go{false};
    const auto whole =
        ConvertText(std::u16string_view(u"東京\r\n大阪"), keywords, {10, false}, random, &go);
    EXPECT_FALSE(whole.stopped);
    EXPECT_EQ(whole.text, u"X東京\r\nX大阪");
}

TEST(ClockSeed, IsTheCurrentCalendarTime) {
    const auto before = static_cast<std::uint32_t>(std::time(nullptr));
    const auto seed = static_cast<std::uint32_t>(ClockSeed());
    const auto after = static_cast<std::uint32_t>(std::time(nullptr));
    EXPECT_GE(seed, before);
    EXPECT_LE(seed, after);
}

}  // namespace
}  // namespace quillery
