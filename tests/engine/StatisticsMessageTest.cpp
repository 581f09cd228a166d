// The statistics text at the end of a run: the two formats, the rate's rounding, and
// independence from the process locale.

#include <gtest/gtest.h>

#include <cmath>

#include <clocale>
#include <cstdio>
#include <limits>
#include <string>

#include "engine/StatisticsMessage.h"
#include "tests/engine/TestSupport.h"

namespace quillery {
namespace {

using test::Utf8;

ConversionStats Stats(int lines, int phrases, int inserted, int chars) {
    ConversionStats stats;
    stats.lineCount = lines;
    stats.phraseCount = phrases;
    stats.insertedCount = inserted;
    stats.outputCharCount = chars;
    return stats;
}

std::string Message(int lines, int phrases, int inserted, int chars, std::size_t words) {
    return Utf8(FormatStatistics(Stats(lines, phrases, inserted, chars), words));
}

TEST(FormatStatistics, WithPhrasesHasABlankAfterTheColon) {
    EXPECT_EQ(
        Message(1, 3, 2, 13, 5),
        "変換終了： [挿入文節2 / 総文節3 = 挿入率66.7%] [解析行1] [辞書の単語5個] [出力13文字]");
    EXPECT_EQ(
        Message(1, 3, 2, 13, 1),
        "変換終了： [挿入文節2 / 総文節3 = 挿入率66.7%] [解析行1] [辞書の単語1個] [出力13文字]");
}

TEST(FormatStatistics, WithoutPhrasesHasFixedZerosAndNoBlank) {
    EXPECT_EQ(
        Message(0, 0, 0, 0, 48),
        "変換終了：[挿入文節0 / 総文節0 = 挿入率0.0%] [解析行0] [辞書の単語48個] [出力0文字]");
    EXPECT_EQ(
        Message(3, 0, 0, 17, 1000),
        "変換終了：[挿入文節0 / 総文節0 = 挿入率0.0%] [解析行3] [辞書の単語1000個] [出力17文字]");
}

TEST(FormatStatistics, RateIsRoundedToOneDecimal) {
    const auto rate = [](int inserted, int phrases) {
        const std::string m = Message(1, phrases, inserted, 1, 1);
        const std::size_t from = m.find("挿入率") + std::string("挿入率").size();
        return m.substr(from, m.find('%') - from);
    };
    EXPECT_EQ(rate(2, 3), "66.7");
    EXPECT_EQ(rate(1, 8), "12.5");
    EXPECT_EQ(rate(1, 3), "33.3");
    EXPECT_EQ(rate(5, 5), "100.0");
    EXPECT_EQ(rate(0, 5), "0.0");
    EXPECT_EQ(rate(1, 7), "14.3");
    EXPECT_EQ(rate(1, 1000000), "0.0");
    EXPECT_EQ(rate(999999, 1000000), "100.0");
}

std::string Rate(int inserted, int phrases) {
    const std::string m = Message(1, phrases, inserted, 1, 1);
    const std::size_t from = m.find("挿入率") + std::string("挿入率").size();
    return m.substr(from, m.find('%') - from);
}

// Ties in the 17-digit decimal text round up, as the Windows runtime prints them.
TEST(FormatStatistics, RateTiesRoundUp) {
    EXPECT_EQ(Rate(1, 16), "6.3");       // 6.25 exactly
    EXPECT_EQ(Rate(5, 16), "31.3");      // 31.25
    EXPECT_EQ(Rate(1, 80), "1.3");       // 1.25
    EXPECT_EQ(Rate(1, 400), "0.3");      // 0.25
    EXPECT_EQ(Rate(3, 16), "18.8");      // 18.75
    EXPECT_EQ(Rate(247, 2000), "12.4");  // 12.349999999999999645, 17 digits 12.350000000000000
    EXPECT_EQ(Rate(1, 2000), "0.1");     // 0.05
    EXPECT_EQ(Rate(1, 20000), "0.0");    // 0.005
}

// Away from ties the rule agrees with a correctly rounding printf.
TEST(FormatStatistics, RateAgreesWithPrintfAwayFromTies) {
    for (int phrases = 1; phrases <= 300; ++phrases) {
        for (int inserted = 0; inserted <= phrases; ++inserted) {
            const double rate = static_cast<double>(inserted) / phrases * 100.0;
            const double tenths = rate * 10.0;
            if (std::fabs(tenths - std::floor(tenths) - 0.5) < 1e-6) {
                continue;
            }
            char expected[32];
            std::snprintf(expected, sizeof expected, "%3.1f", rate);
            ASSERT_EQ(Rate(inserted, phrases), expected) << inserted << "/" << phrases;
        }
    }
}

TEST(FormatStatistics, LargeCounts) {
    const int max = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(
        Message(max, max, max, max, 1000),
        "変換終了： [挿入文節2147483647 / 総文節2147483647 = 挿入率100.0%] [解析行2147483647] "
        "[辞書の単語1000個] [出力2147483647文字]");
}

TEST(FormatStatistics, IgnoresTheProcessLocale) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    const char* chosen = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            chosen = name;
            break;
        }
    }
    if (chosen == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    char probe[16];
    std::snprintf(probe, sizeof probe, "%3.1f", 66.7);
    const std::string message = Message(1, 3, 2, 13, 5);
    std::setlocale(LC_ALL, before.c_str());
    EXPECT_STREQ(probe, "66,7") << chosen << " has a decimal comma";
    EXPECT_EQ(
        message,
        "変換終了： [挿入文節2 / 総文節3 = 挿入率66.7%] [解析行1] [辞書の単語5個] [出力13文字]");
}

}  // namespace
}  // namespace quillery
