// The converter's UTF-8 mode: the window's conversion with line breaks as they came.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include "cli/Utf8Text.h"
#include "tests/engine/TestSupport.h"

namespace quillery {
namespace {

using test::Sjis;

TEST(ConvertUtf8Text, TheUtf8FormOfWhatTheCodePage932FormGives) {
    const KeywordList keywords = test::Keywords({"キー", "語", "X"});
    const std::tuple<std::string, int, bool> cases[] = {
        {"私は東京に行きました。", 5, false},
        {"吾輩は猫である。名前はまだ無い。\r\n東京、大阪、京都\r\n\r\nｶﾀｶﾅ①㈱髙", 7, false},
        {"東京\r\n大阪\r\n", 10, true},
        {"東京\r\n大阪\r\n\r\n京都", 10, true},
        {"\r\n\r\n", 10, true},
        {"\r\n", 10, false},
        {"", 10, false},
        {"一行", 0, true},
    };
    for (std::uint32_t seed : {1u, 4294967295u}) {
        for (const auto& [text, ratio, mark] : cases) {
            const ConversionOptions options{ratio, mark};
            RandomSource narrowRandom = test::Seeded(seed);
            const auto narrow = ConvertText(Sjis(text), keywords, options, narrowRandom);
            RandomSource random = test::Seeded(seed);
            const auto utf8 = ConvertUtf8Text(text, keywords, options, random);
            ASSERT_TRUE(utf8) << text;
            // The engine drops the final line break, which stays here.
            const std::string_view last = text.ends_with("\r\n") ? "\r\n" : "";
            EXPECT_EQ(utf8->text, test::SjisToUtf8(narrow.text) + std::string(last)) << text;
            EXPECT_EQ(utf8->stats, narrow.stats) << text;
            // The random sequence is left where the code page 932 run leaves it.
            EXPECT_EQ(random.Next(), narrowRandom.Next()) << text;
        }
    }
}

// A byte-order mark stays in front and takes no keyword; not UTF-8 is refused.
TEST(ConvertUtf8Text, BreaksByteOrderMarkAndCharactersOutsideCodePage932) {
    const std::tuple<std::string, bool, std::optional<std::string>> cases[] = {
        {"東京\n大阪\n", false, "鍵東京\n鍵大阪\n"},
        {"東京\r\n大阪", true, "<鍵>東京\r\n<鍵>大阪"},
        {"東京\r大阪\r", false, "鍵東京\r鍵大阪\r"},
        {"a\n\r\nb\r\r\n", true, "<鍵>a\n\r\n<鍵>b\r\r\n"},
        {"\xEF\xBB\xBF東京\n", false, "\xEF\xBB\xBF鍵東京\n"},
        {"\xEF\xBB\xBF", false, "\xEF\xBB\xBF"},
        {"😀は、éだ", true, "<鍵>😀は、<鍵>éだ"},
        {"Ünïcödé\n", false, "鍵Ünïcödé\n"},
        {Sjis("東京"), false, std::nullopt},
        {"\xEF\xBB\xBF\xEF\xBB", false, std::nullopt},
        {"ok\n\x80", false, std::nullopt}};
    for (const auto& [text, mark, expected] : cases) {
        RandomSource random = test::Seeded(1);
        const auto result = ConvertUtf8Text(text, test::Keywords({"鍵"}), {10, mark}, random);
        EXPECT_EQ(result ? std::optional(result->text) : std::nullopt, expected)
            << testing::PrintToString(text);
    }
    // A keyword with a lone CR (a dictionary line may hold one) is no line break.
    RandomSource random = test::Seeded(1);
    const auto crKeyword =
        ConvertUtf8Text("東京\n大阪", test::Keywords({"a\r"}), {10, false}, random);
    EXPECT_EQ(crKeyword.value_or(ConversionResult<std::string>{}).text, "a\r東京\na\r大阪");
}

}  // namespace
}  // namespace quillery
