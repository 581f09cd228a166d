// quillery-convert as a process: its output bytes, standard error and exit codes.

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/Conversion.h"
#include "tests/engine/TestSupport.h"

namespace quillery {
namespace {

using test::Sjis;

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class ConvertTest : public testing::Test {
  protected:
    void SetUp() override {
        dir_.Write("x.dat", "X\r\n");
        dir_.Write("empty.dat", "");
        dir_.Write("example.txt", Sjis("私は東京に行きました。"));
        // é is beyond code page 932; ソ ends in 0x5C there.
        dir_.Write("辞書café表ソ.dat", "X\r\n");
        dir_.Write("café入力.txt", Sjis("私は東京に行きました。"));
    }

    std::string ReadBack(const std::string& name) const {
        std::ifstream in(test::PathFromUtf8(dir_.File(name)), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // Runs the converter in the test's folder with `input` on its standard input.
    Outcome Run(const std::string& args, std::string_view input = "") const {
        std::istringstream words(args);
        return Run(std::vector<std::string>{std::istream_iterator<std::string>(words), {}}, input);
    }
    Outcome Run(const std::vector<std::string>& argv, std::string_view input) const {
        dir_.Write(".stdin", input);
        const int code =
            test::RunProgram(QUILLERY_CONVERT_PATH, argv, dir_.path(), dir_.path() / ".stdin",
                             dir_.path() / ".stdout", dir_.path() / ".stderr");
        return {code, ReadBack(".stdout"), ReadBack(".stderr")};
    }

    test::TempDir dir_;
};

TEST_F(ConvertTest, ConvertsRawBytesAndEndsWithTheStatistics) {
    const std::string example =
        "変換終了： [挿入文節2 / 総文節3 = 挿入率66.7%] [解析行1] [辞書の単語1個] [出力";
    const std::string raw = Sjis("東京、大阪\r\n\r\nｶﾀｶﾅ①㈱髙\r\n") + "\x80\xFF\x82\r\nend\r\n";
    const std::tuple<std::string, std::string, std::string, std::string> cases[] = {
        {"--dictionary 辞書café表ソ.dat --ratio 5 --seed 1 café入力.txt", "",
         Sjis("X私はX東京に行きました。"), example + "13文字]"},
        // Standard input when no INPUT is given.
        {"--dictionary x.dat --ratio 5 --seed 1 --mark", Sjis("私は東京に行きました。"),
         Sjis("<X>私は<X>東京に<>行きました。"), example + "19文字]"},
        // Bytes outside the code page pass through; only the final line break goes.
        {"--dictionary x.dat --ratio 0 --seed 4294967295", raw, raw.substr(0, raw.size() - 2),
         "変換終了： [挿入文節0 / 総文節5 = 挿入率0.0%] [解析行5] [辞書の単語1個] [出力22文字]"}};
    for (const auto& [args, input, out, err] : cases) {
        const Outcome r = Run(args, input);
        EXPECT_EQ(r.exitCode, 0) << args;
        EXPECT_EQ(r.out, out) << args;
        EXPECT_EQ(r.err, err + "\n") << args;
    }
}

TEST_F(ConvertTest, WithoutSeedPrintsTheClockSeedBeforeTheStatistics) {
    const std::string input = Sjis("吾輩は猫である。名前はまだ無い。\r\n東京、大阪、京都");
    const auto before = static_cast<std::uint32_t>(std::time(nullptr));
    const Outcome r = Run("--dictionary x.dat --ratio 5", input);
    const auto after = static_cast<std::uint32_t>(std::time(nullptr));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(r.err.rfind("seed: ", 0), 0u) << r.err;
    const auto seed = static_cast<std::uint32_t>(std::stoul(r.err.substr(6)));
    EXPECT_GE(seed, before);
    EXPECT_LE(seed, after);
    EXPECT_EQ(r.err.substr(r.err.find('\n') + 1).rfind("変換終了： [", 0), 0u) << r.err;
    RandomSource random = test::Seeded(seed);
    EXPECT_EQ(r.out, ConvertText(input, test::Keywords({"X"}), {5, false}, random).text);
}

// Exit 1 with the program's own message; 2 with a line naming the bad argument, then the usage.
TEST_F(ConvertTest, FailuresExitWithTheirCodeAndMessage) {
    const std::string usage =
        "usage: quillery-convert --dictionary FILE [--ratio N] [--seed N] [--mark]\n"
        "                        [--encoding cp932|utf-8] [INPUT]\n";
    const std::pair<std::string, std::string> cases[] = {
        {"--dictionary empty.dat", "quillery-convert: empty.dat: 辞書ファイルが空です\n"},
        {"--dictionary 無い辞書.dat", "quillery-convert: 無い辞書.dat: 辞書ファイルが開けません\n"},
        {"--dictionary x.dat 無い.txt", "quillery-convert: cannot read 無い.txt\n"},
        // Code page 932 given as UTF-8 is refused; a refused run tells no seed.
        {"--encoding utf-8 --dictionary x.dat",
         "quillery-convert: standard input is not valid UTF-8\n"},
        {"--encoding utf-8 --dictionary example.txt --seed 1",
         "quillery-convert: example.txt is not valid UTF-8\n"}};
    for (const auto& [args, err] : cases) {
        const Outcome r = Run(args, Sjis("東京"));
        EXPECT_EQ(r.exitCode, 1) << args;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_EQ(r.err, err) << args;
    }
    // An empty dictionary name is no name at all: a bad argument, not a missing file.
    const std::vector<std::string> badArguments[] = {
        {"example.txt"}, {"--dictionary", "x.dat", "--ratio", "11"}, {"--dictionary", ""}};
    for (const std::vector<std::string>& args : badArguments) {
        const Outcome r = Run(args, Sjis("東京"));
        EXPECT_EQ(r.exitCode, 2) << testing::PrintToString(args);
        EXPECT_EQ(r.out, "") << testing::PrintToString(args);
        EXPECT_EQ(r.err.substr(r.err.find('\n') + 1, usage.size()), usage)
            << testing::PrintToString(args);
    }
    const Outcome help = Run("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.substr(0, usage.size()), usage);
    EXPECT_EQ(help.err, "");
    const Outcome version = Run("--dictionary missing.dat --version --frobnicate");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "quillery-convert (Quillery Mini) " QUILLERY_EXPECTED_VERSION "\n");
    EXPECT_EQ(version.err, "");
}

// UTF-8 text and dictionary give the UTF-8 form of the code page 932 run's output.
TEST_F(ConvertTest, Utf8InputDictionaryAndOutput) {
    const std::string text =
        "吾輩は猫である。名前はまだ無い。\r\n東京、大阪、京都\r\n\r\nｶﾀｶﾅ①㈱髙";
    const std::string words = "キーワード\r\n語\r\nＸ\r\n";
    dir_.Write("text.txt", Sjis(text));
    dir_.Write("words.dat", Sjis(words));
    dir_.Write("text.utf8", text);
    dir_.Write("words.utf8", "\xEF\xBB\xBF" + words);
    const Outcome cp932 = Run("--dictionary words.dat --ratio 7 --seed 12345 --mark text.txt");
    const Outcome utf8 =
        Run("--encoding utf-8 --dictionary words.utf8 --ratio 7 --seed 12345 --mark text.utf8");
    ASSERT_EQ(cp932.exitCode, 0) << cp932.err;
    EXPECT_EQ(utf8.exitCode, 0) << utf8.err;
    EXPECT_EQ(utf8.out, test::SjisToUtf8(cp932.out));
    EXPECT_EQ(utf8.err, cp932.err);
}

// A dictionary line of 131 "a" and 𠮷 is two keywords, the 131 "a" and 𠮷, never a cut through
// 𠮷. Seed 1 draws the second, then the first three times: 4 phrases, 1 line, 2 words, and
// 12 characters of text + 3 × 131 + 1 (𠮷 is one character).
TEST_F(ConvertTest, Utf8DictionaryCharacterOutsideTheBasicPlaneAtThePieceCut) {
    dir_.Write("d.txt", std::string(131, 'a') + "𠮷\n");
    dir_.Write("in.txt", "東京に行く。大阪に行く。\n");
    const Outcome r = Run("--encoding utf-8 --dictionary d.txt --ratio 10 --seed 1 in.txt");
    const std::string a131(131, 'a');
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "𠮷東京に" + a131 + "行く。" + a131 + "大阪に" + a131 + "行く。\n");
    EXPECT_EQ(r.err,
              "変換終了： [挿入文節4 / 総文節4 = 挿入率100.0%] [解析行1] [辞書の単語2個] "
              "[出力406文字]\n");
}

#ifdef _WIN32
// An unpaired surrogate, which UTF-8 cannot carry, is never turned into another name.
TEST_F(ConvertTest, AnArgumentThatIsNotUnicodeIsABadArgument) {
    dir_.Write(".stdin", "");
    const int code = test::detail::RunCommandLine(
        QUILLERY_CONVERT_PATH, L"quillery-convert --dictionary \"x\xD800.dat\"", dir_.path(),
        dir_.path() / ".stdin", dir_.path() / ".stdout", dir_.path() / ".stderr");
    EXPECT_EQ(code, 2);
    EXPECT_EQ(ReadBack(".stdout"), "");
    EXPECT_EQ(ReadBack(".stderr").rfind("quillery-convert: an argument is not valid Unicode\n", 0),
              0u);
}
#endif

// Input is read a piece at a time (256 KB at first): lines across the pieces' edges, a CR
// at an edge, a line longer than half a piece and one longer than a piece, and bytes
// outside the code page, from a file and from standard input, give what the whole text
// gives.
TEST_F(ConvertTest, LargeInputReadInPiecesConvertsAsAWhole) {
    std::string text;
    for (int i = 0; text.size() < 900 * 1024; ++i) {
        text += Sjis(i % 3 == 0 ? "吾輩は猫である。名前はまだ無い。" : "東京、大阪") +
                (i % 7 == 0 ? "\r" : "\r\n");
        if (i == 2000) {
            text += test::Repeat(Sjis("長い行です。"), 15000) + "\xed\x40\r\n";
        }
        if (i == 6000) {
            text += test::Repeat(Sjis("とても長い行、"), 25000) + "\r\n";
        }
    }
    text += "\x81";
    RandomSource random = test::Seeded(7);
    const auto expected = ConvertText(text, test::Keywords({"X"}), {6, true}, random);
    dir_.Write("large.txt", text);
    for (const Outcome& r : {Run("--dictionary x.dat --ratio 6 --mark --seed 7 large.txt"),
                             Run("--dictionary x.dat --ratio 6 --mark --seed 7", text)}) {
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(r.out == expected.text)
            << r.out.size() << " bytes, not " << expected.text.size();
        EXPECT_NE(r.err.find("[解析行" + std::to_string(expected.stats.lineCount) + "]"),
                  std::string::npos)
            << r.err;
    }
}

}  // namespace
}  // namespace quillery
