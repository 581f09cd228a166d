// The converter's UTF-8 mode: line breaks as they came, a byte-order mark kept.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <variant>

#include "cli/Utf8Text.h"
#include "tests/engine/TestSupport.h"

namespace quillery {
namespace {

using test::Sjis;

// A byte-order mark stays in front and takes no keyword; not UTF-8 is refused.
TEST(ConvertUtf8Text, BreaksByteOrderMarkAndCharactersOutsideCodePage932) {
    const std::tuple<std::string, bool, std::optional<std::string>> cases[] = {
        {"東京\n大阪\n", false, "鍵東京\n鍵大阪\n"},
        {"a\n\r\nb\r\r\n", true, "<鍵>a\n\r\n<鍵>b\r\r\n"},
        {"\xEF\xBB\xBF東京\n", false, "\xEF\xBB\xBF鍵東京\n"},
        {"😀は、éだ", true, "<鍵>😀は、<鍵>éだ"},
        {Sjis("東京"), false, std::nullopt},
        {"ok\n\x80", false, std::nullopt}};
    for (const auto& [text, mark, expected] : cases) {
        RandomSource random = test::Seeded(1);
        const Utf8Conversion result =
            ConvertUtf8Text(text, test::Keywords({"鍵"}), {10, mark}, random);
        const auto* converted = std::get_if<ConversionResult<std::string>>(&result);
        EXPECT_EQ(converted ? std::optional(converted->text) : std::nullopt, expected)
            << testing::PrintToString(text);
        if (!converted) {
            EXPECT_EQ(std::get<Utf8Fault>(result), Utf8Fault::kInputNotUtf8);
        }
    }
    // A keyword with a lone CR (a dictionary line may hold one) is no line break.
    RandomSource random = test::Seeded(1);
    const Utf8Conversion crKeyword =
        ConvertUtf8Text("東京\n大阪", test::Keywords({"a\r"}), {10, false}, random);
    ASSERT_TRUE(std::holds_alternative<ConversionResult<std::string>>(crKeyword));
    EXPECT_EQ(std::get<ConversionResult<std::string>>(crKeyword).text, "a\r東京\na\r大阪");
}

}  // namespace
}  // namespace quillery
