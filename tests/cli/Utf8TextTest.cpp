// The converter's UTF-8 mode: the window's conversion, line breaks as they came, a
// byte-order mark, invalid input.

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "cli/Utf8Text.h"
#include "tests/engine/TestSupport.h"

namespace quillery {
namespace {

using namespace std::literals;
using test::Sjis;

// The text with every LF, CR LF and lone CR as CR LF.
std::string WithCrLf(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\r\n";
            i += text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        } else {
            out += text[i];
        }
    }
    return out;
}

// The engine's breaks, CR LF between lines, put back as `text` had them, the final one
// included.
std::string WithBreaksOf(std::string_view text, std::string converted) {
    std::string out;
    std::size_t from = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            continue;
        }
        const std::size_t size =
            text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
        const std::size_t crlf = converted.find("\r\n", from);
        if (crlf == std::string::npos) {
            converted += text.substr(i, size);  // the final break, which the engine drops
            break;
        }
        converted.replace(crlf, 2, text.substr(i, size));
        from = crlf + size;
        i += size - 1;
    }
    return converted;
}

TEST(ConvertUtf8Text, TheUtf8FormOfWhatTheCodePage932FormGives) {
    const KeywordList keywords = test::Keywords({"キー", "語", "X"});
    const std::tuple<std::string, int, bool> cases[] = {
        {"私は東京に行きました。", 5, false},
        {"吾輩は猫である。名前はまだ無い。\r\n東京、大阪、京都\r\n\r\nｶﾀｶﾅ①㈱髙", 7, false},
        {"東京\r\n大阪\r\n", 10, true},
        {"東京\n大阪\n\n京都", 10, true},
        {"東京\r大阪\r\r\n京都\n", 10, false},
        {"\n\n", 10, true},
        {"\r\n", 10, false},
        {"", 10, false},
        {"一行", 0, true},
    };
    for (std::uint32_t seed : {1u, 4294967295u}) {
        for (const auto& [text, ratio, mark] : cases) {
            const ConversionOptions options{ratio, mark};
            RandomSource narrowRandom = test::Seeded(seed);
            const auto narrow = ConvertText(Sjis(WithCrLf(text)), keywords, options, narrowRandom);
            RandomSource random = test::Seeded(seed);
            const auto utf8 = ConvertUtf8Text(text, keywords, options, random);
            ASSERT_TRUE(utf8) << text;
            EXPECT_EQ(utf8->text, WithBreaksOf(text, test::SjisToUtf8(narrow.text))) << text;
            EXPECT_EQ(utf8->stats, narrow.stats) << text;
            // The random sequence is left where the code page 932 run leaves it.
            EXPECT_EQ(random.Next(), narrowRandom.Next()) << text;
        }
    }
}

TEST(ConvertUtf8Text, BreaksAsTheyCameMarksAndCharactersOutsideCodePage932) {
    const KeywordList keywords = test::Keywords({"鍵"});
    const std::tuple<std::string, bool, std::string> cases[] = {
        {"東京\n大阪\n", false, "鍵東京\n鍵大阪\n"},
        {"東京\r\n大阪", true, "<鍵>東京\r\n<鍵>大阪"},
        {"東京\r大阪\r", false, "鍵東京\r鍵大阪\r"},
        {"a\n\r\nb\r\r\n", true, "<鍵>a\n\r\n<鍵>b\r\r\n"},
        // A byte-order mark stays in front and takes no keyword.
        {"\xEF\xBB\xBF東京\n", false, "\xEF\xBB\xBF鍵東京\n"},
        {"\xEF\xBB\xBF", false, "\xEF\xBB\xBF"},
        // Characters that code page 932 cannot hold are phrase characters like any other.
        {"😀は、éだ", true, "<鍵>😀は、<鍵>éだ"},
        {"Ünïcödé\n", false, "鍵Ünïcödé\n"},
    };
    for (const auto& [text, mark, expected] : cases) {
        RandomSource random = test::Seeded(1);
        const auto result = ConvertUtf8Text(text, keywords, {10, mark}, random);
        ASSERT_TRUE(result) << text;
        EXPECT_EQ(result->text, expected) << text;
    }
    // A keyword with a lone CR (a dictionary line may hold one) is no line break.
    RandomSource random = test::Seeded(1);
    const auto crKeyword =
        ConvertUtf8Text("東京\n大阪", test::Keywords({"a\r"}), {10, false}, random);
    ASSERT_TRUE(crKeyword);
    EXPECT_EQ(crKeyword->text, "a\r東京\na\r大阪");
}

TEST(ConvertUtf8Text, RefusesInputThatIsNotUtf8) {
    for (const std::string& bytes :
         {Sjis("東京"), "ab\xFF"s, "\xC3"s, "a\xC0\xAF"s, "\xED\xA0\x80"s, "\xF4\x90\x80\x80"s,
          "\xEF\xBB\xBF\xEF\xBB"s, "ok\n\x80"s}) {
        RandomSource random = test::Seeded(1);
        EXPECT_FALSE(ConvertUtf8Text(bytes, test::Keywords({"X"}), {10, false}, random))
            << testing::PrintToString(bytes);
    }
}

}  // namespace
}  // namespace quillery
