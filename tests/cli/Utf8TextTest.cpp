// The converter's UTF-8 mode: line breaks as they came, a byte-order mark kept.

#include <gtest/gtest.h>

#include <cstdio>
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

// Valid text with keywords read from a valid UTF-8 dictionary always converts, wherever a
// character outside the basic plane falls against the 132-unit cut.
TEST(ConvertUtf8Text, ValidTextAndDictionaryAreNeverRefused) {
    test::TempDir dir;
    for (std::size_t offset = 120; offset <= 135; ++offset) {
        const std::string path = dir.Write(
            "d.txt", std::string(offset, 'a') + test::Repeat(std::string("𠮷"), 40) + "\n");
        std::FILE* file = OpenDictionaryFile(path);
        ASSERT_NE(file, nullptr);
        const std::optional<KeywordList> keywords = ReadUtf8Keywords(file);
        std::fclose(file);
        ASSERT_TRUE(keywords.has_value());
        RandomSource random = test::Seeded(offset);
        const Utf8Conversion result = ConvertUtf8Text(test::Repeat(std::string("東京に行く。"), 20),
                                                      *keywords, {10, true}, random);
        EXPECT_TRUE(std::holds_alternative<ConversionResult<std::string>>(result)) << offset;
    }
}

// Output that cannot be written as UTF-8 comes from a keyword, never from valid input.
TEST(ConvertUtf8Text, AKeywordHoldingHalfACharacterIsNotTheInputsFault) {
    KeywordList keywords;
    keywords.Append(u"a\xD842");
    RandomSource random = test::Seeded(1);
    const Utf8Conversion result = ConvertUtf8Text("東京\n", keywords, {10, false}, random);
    ASSERT_TRUE(std::holds_alternative<Utf8Fault>(result));
    EXPECT_EQ(std::get<Utf8Fault>(result), Utf8Fault::kKeywordNotUnicode);
}

}  // namespace
}  // namespace quillery
