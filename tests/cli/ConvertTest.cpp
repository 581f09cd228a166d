// quillery-convert run as a separate process: its output bytes, its standard error and
// its exit codes.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "engine/Conversion.h"
#include "tests/engine/TestSupport.h"

namespace quillery {
namespace {

using test::Bytes;
using test::Sjis;
using test::TempDir;

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;

    // Standard error line by line, without the line feeds.
    std::vector<std::string> ErrLines() const {
        std::vector<std::string> lines;
        std::istringstream in(err);
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs the converter in `dir` with `stdinBytes` on its standard input.
Outcome RunConvert(const TempDir& dir, const std::vector<std::string>& args,
                   std::string_view stdinBytes = "") {
    const std::string in = dir.Write(".stdin", stdinBytes);
    const std::string out = (dir.path() / ".stdout").string();
    const std::string err = (dir.path() / ".stderr").string();
    std::vector<std::string> argvStrings{QUILLERY_CONVERT_PATH};
    argvStrings.insert(argvStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argvStrings) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        const int fdIn = open(in.c_str(), O_RDONLY);
        const int fdOut = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int fdErr = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fdIn < 0 || fdOut < 0 || fdErr < 0 || chdir(dir.path().c_str()) != 0 ||
            dup2(fdIn, 0) < 0 || dup2(fdOut, 1) < 0 || dup2(fdErr, 2) < 0) {
            _exit(126);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    Outcome outcome;
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) {
        ADD_FAILURE() << "cannot run " << QUILLERY_CONVERT_PATH;
        return outcome;
    }
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    outcome.out = ReadFile(out);
    outcome.err = ReadFile(err);
    return outcome;
}

const std::string kExampleStats =
    "変換終了： [挿入文節2 / 総文節3 = 挿入率66.7%] [解析行1] [辞書の単語1個] [出力13文字]";

class ConvertTest : public testing::Test {
  protected:
    void SetUp() override {
        dir_.Write("x.dat", "X\r\n");
        dir_.Write("example.txt", Sjis("私は東京に行きました。"));
    }
    TempDir dir_;
};

TEST_F(ConvertTest, WorkedExampleByteForByte) {
    const Outcome r =
        RunConvert(dir_, {"--dictionary", "x.dat", "--ratio", "5", "--seed", "1", "example.txt"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, Bytes("58 8e84 82cd 58 938c 8b9e 82c9 8d73 82ab 82dc 82b5 82bd 8142"));
    EXPECT_EQ(r.err, kExampleStats + "\n");
}

TEST_F(ConvertTest, WorkedExampleWithMarkers) {
    const Outcome r = RunConvert(
        dir_, {"--dictionary", "x.dat", "--ratio", "5", "--seed", "1", "--mark", "example.txt"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, Sjis("<X>私は<X>東京に<>行きました。"));
    EXPECT_EQ(r.err,
              "変換終了： [挿入文節2 / 総文節3 = 挿入率66.7%] [解析行1] [辞書の単語1個] "
              "[出力19文字]\n");
}

TEST_F(ConvertTest, ReadsStandardInputWithoutAnInputFile) {
    const Outcome r = RunConvert(dir_, {"--dictionary", "x.dat", "--ratio", "5", "--seed", "1"},
                                 Sjis("私は東京に行きました。"));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, Sjis("X私はX東京に行きました。"));
    EXPECT_EQ(r.err, kExampleStats + "\n");
}

TEST_F(ConvertTest, RawBytesPassThroughWithCrLfLines) {
    const std::string input = Sjis("東京、大阪\r\n\r\nｶﾀｶﾅ①㈱髙\r\n") + "\x80\xFF\x82\r\nend\r\n";
    dir_.Write("in.txt", input);
    const Outcome r = RunConvert(dir_, {"--dictionary", "x.dat", "--ratio", "0", "in.txt"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, input.substr(0, input.size() - 2)) << "only the final line break goes";
    EXPECT_EQ(r.ErrLines().back(),
              "変換終了： [挿入文節0 / 総文節5 = 挿入率0.0%] [解析行5] [辞書の単語1個] "
              "[出力22文字]");
}

TEST_F(ConvertTest, FinalCrDoesNotAbort) {
    const Outcome r = RunConvert(dir_, {"--dictionary", "x.dat", "--ratio", "10", "--seed", "3"},
                                 Sjis("東京\r\n大阪\r"));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, Sjis("X東京\r\nX大阪"));
}

TEST_F(ConvertTest, WithoutSeedPrintsTheClockSeedBeforeTheStatistics) {
    const auto before = static_cast<std::int64_t>(std::time(nullptr));
    const Outcome r = RunConvert(dir_, {"--dictionary", "x.dat", "--ratio", "5"},
                                 Sjis("吾輩は猫である。名前はまだ無い。\r\n東京、大阪、京都"));
    const auto after = static_cast<std::int64_t>(std::time(nullptr));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> lines = r.ErrLines();
    ASSERT_EQ(lines.size(), 2u) << r.err;
    ASSERT_EQ(lines[0].rfind("seed: ", 0), 0u) << lines[0];
    const std::int64_t seed = std::stoll(lines[0].substr(6));
    EXPECT_GE(seed, before);
    EXPECT_LE(seed, after);
    EXPECT_EQ(lines[1].rfind("変換終了： [", 0), 0u) << lines[1];

    // The output is the one that seed gives.
    RandomSource random;
    random.Seed(static_cast<std::uint32_t>(seed));
    const auto expected = ConvertText(Sjis("吾輩は猫である。名前はまだ無い。\r\n東京、大阪、京都"),
                                      test::Keywords({"X"}), ConversionOptions{5, false}, random);
    EXPECT_EQ(r.out, expected.text);
}

TEST_F(ConvertTest, EmptyInput) {
    const Outcome r = RunConvert(dir_, {"--dictionary", "x.dat", "--seed", "1"}, "");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(
        r.err,
        "変換終了：[挿入文節0 / 総文節0 = 挿入率0.0%] [解析行0] [辞書の単語1個] [出力0文字]\n");
}

TEST_F(ConvertTest, DictionaryThatDoesNotOpenExitsWithOne) {
    for (const std::string dictionary : {"missing.dat", "."}) {
        const Outcome r = RunConvert(dir_, {"--dictionary", dictionary, "--seed", "1"}, "東京");
        EXPECT_EQ(r.exitCode, 1) << dictionary;
        EXPECT_EQ(r.out, "") << dictionary;
        EXPECT_EQ(r.err, "辞書ファイルが開けません\n") << dictionary;
    }
}

TEST_F(ConvertTest, EmptyDictionaryExitsWithOne) {
    dir_.Write("empty.dat", "");
    dir_.Write("ctrlz.dat",
               "\x1A"
               "X\r\n");
    for (const std::string dictionary : {"empty.dat", "ctrlz.dat"}) {
        const Outcome r = RunConvert(dir_, {"--dictionary", dictionary, "--seed", "1"}, "東京");
        EXPECT_EQ(r.exitCode, 1) << dictionary;
        EXPECT_EQ(r.out, "") << dictionary;
        EXPECT_EQ(r.err, "辞書ファイルが空です\n") << dictionary;
    }
}

TEST_F(ConvertTest, BadArgumentsExitWithTwoAndTheUsage) {
    const std::vector<std::vector<std::string>> bad{
        {"--dictionary", "x.dat", "--frobnicate"},
        {"--dictionary", "x.dat", "--ratio"},
        {"--dictionary"},
        {"--dictionary", "x.dat", "--ratio", "11"},
        {"--dictionary", "x.dat", "--ratio", "-1"},
        {"--dictionary", "x.dat", "--seed", "4294967296"},
        {"--dictionary", "x.dat", "--seed", "abc"},
        {"example.txt"},
    };
    for (const auto& args : bad) {
        const Outcome r = RunConvert(dir_, args, "東京");
        EXPECT_EQ(r.exitCode, 2) << testing::PrintToString(args);
        EXPECT_EQ(r.out, "") << testing::PrintToString(args);
        EXPECT_NE(r.err.find("usage: quillery-convert --dictionary FILE"), std::string::npos)
            << testing::PrintToString(args) << r.err;
    }
}

TEST_F(ConvertTest, LargestSeedIsAccepted) {
    const Outcome r = RunConvert(dir_, {"--dictionary", "x.dat", "--seed", "4294967295"}, "東京");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.ErrLines().size(), 1u) << r.err;
}

TEST_F(ConvertTest, HelpPrintsTheUsage) {
    const Outcome r = RunConvert(dir_, {"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out.rfind("usage: quillery-convert --dictionary FILE [--ratio N] [--seed N] "
                          "[--mark] [INPUT]\n",
                          0),
              0u)
        << r.out;
    EXPECT_EQ(r.err, "");
}

TEST_F(ConvertTest, InputFileThatDoesNotOpenExitsWithOne) {
    const Outcome r = RunConvert(dir_, {"--dictionary", "x.dat", "missing.txt"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("missing.txt"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace quillery
