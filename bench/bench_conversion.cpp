// Speed of keyword insertion on a large Japanese text, against a bare code page 932 ->
// UTF-16 -> code page 932 round trip of the same bytes through the same codec.
//
//   build-bench/bench/bench_conversion
//   build-bench/bench/bench_conversion_no_avx2   (the engine without its AVX2 path)
//
// Figures are input megabytes (code page 932 bytes) per second, for the UTF-16 entry point
// too. At the end the reporter prints each conversion's CPU time as a multiple of the
// round trip's (with --benchmark_repetitions, of the fastest repetitions), and the code
// page 932 ConvertText's as a multiple of the UTF-16 one's.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/Conversion.h"
#include "engine/ConversionBytes.h"
#include "engine/Cp932Codec.h"
#include "engine/KeywordList.h"
#include "engine/Utf8.h"

namespace {

using namespace quillery;

constexpr std::size_t kTextBytes = 12 * 1024 * 1024;

// Sentences of ordinary prose: kanji, kana, katakana loanwords, half-width katakana,
// digits, brackets and the odd extension character.
const char* const kSentences[] = {
    "吾輩は猫である。",
    "名前はまだ無い。",
    "どこで生れたかとんと見当がつかぬ。",
    "何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。",
    "春はあけぼの、やうやう白くなりゆく山ぎはすこしあかりて、紫だちたる雲のほそくたなびきたる。",
    "東京駅から新幹線に乗って、大阪まで二時間半ほどかかりました。",
    "昨日の会議では、来年度の予算案について長い議論が続いた。",
    "「ちょっと待ってください」と彼女は言った。",
    "窓の外では、冷たい雨が静かに降り続いている。",
    "このソフトウェアは、日本語の文章に単語を挿入するための小さな道具です。",
    "ｺｰﾋｰを一杯飲んでから、駅前のﾊﾞｽ停まで歩いた。",
    "第３章では、①データの収集、②分析、③結果の考察を順に述べる。",
    "株式会社㈱髙橋製作所の創業は明治二十年にさかのぼる。",
    "山田さんは、毎朝六時に起きて、近くの公園を三十分ほど散歩するそうです。",
    "それでも、私たちは前に進まなければならない。",
    "夏の夜空に、花火が大きな音を立てて次々と開いた。",
    "図書館で借りた本を、まだ半分しか読んでいない。",
    "価格は１，２００円（税込）で、送料は無料です。",
    "ＩＴ企業に勤める兄は、週に二日だけ在宅で働いている。",
    "秋になると、この辺りの山は一面の紅葉に染まる。",
    "彼はしばらく黙っていたが、やがてゆっくりと口を開いた。",
    "駅のホームには、通勤客が長い列を作っていた。",
    "子供たちの笑い声が、校庭いっぱいに響いていた。",
    "古い写真を見ると、懐かしい日々が思い出される。",
};

std::string MakeProse() {
    Cp932Codec codec;
    std::vector<std::string> sentences;
    for (const char* s : kSentences) {
        sentences.push_back(codec.Encode(*Utf8ToUtf16(s)));
    }
    std::mt19937 rng(1);
    std::uniform_int_distribution<std::size_t> pick(0, sentences.size() - 1);
    std::uniform_int_distribution<int> perLine(1, 5);
    std::string text;
    text.reserve(kTextBytes + 1024);
    while (text.size() < kTextBytes) {
        // A paragraph of one to five sentences, now and then an empty line between.
        const int count = perLine(rng);
        for (int i = 0; i < count; ++i) {
            text += sentences[pick(rng)];
        }
        text += (rng() % 8 == 0) ? "\r\n\r\n" : "\r\n";
    }
    return text;
}

const std::string& Prose() {
    static const std::string text = MakeProse();
    return text;
}

const std::u16string& WideProse() {
    static const std::u16string text = ThreadCodec().Decode(Prose());
    return text;
}

const KeywordList& DefaultKeywords() {
    static const KeywordList keywords = [] {
        std::FILE* file = OpenDictionaryFile(QUILLERY_DEFAULT_DICTIONARY);
        if (file == nullptr) {
            throw std::runtime_error("cannot open " QUILLERY_DEFAULT_DICTIONARY);
        }
        KeywordList list = ReadKeywords(file);
        std::fclose(file);
        if (list.empty()) {
            throw std::runtime_error("no keyword in " QUILLERY_DEFAULT_DICTIONARY);
        }
        return list;
    }();
    return keywords;
}

void SetInputBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(Prose().size()));
    state.counters["input_MB"] = static_cast<double>(Prose().size()) / 1e6;
}

// What ConvertText cannot do without: decode the bytes and encode text back, each into a
// new string, as a caller of the codec does.
void BM_Cp932RoundTrip(benchmark::State& state) {
    const std::string& text = Prose();
    Cp932Codec& codec = ThreadCodec();
    for (auto _ : state) {
        const std::string bytes = codec.Encode(codec.Decode(text));
        benchmark::DoNotOptimize(bytes.data());
    }
    SetInputBytes(state);
}

// The same into buffers kept from one iteration to the next: the codec alone, without
// allocating and first touching the memory of its results.
void BM_Cp932RoundTripKeptBuffers(benchmark::State& state) {
    const std::string& text = Prose();
    Cp932Codec& codec = ThreadCodec();
    std::u16string wide;
    std::string bytes;
    for (auto _ : state) {
        wide.clear();
        codec.Decode(text, wide);
        bytes.clear();
        codec.Encode(wide, bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
    SetInputBytes(state);
}

void BM_ConvertText(benchmark::State& state) {
    const std::string& text = Prose();
    const KeywordList& keywords = DefaultKeywords();
    const ConversionOptions options{static_cast<std::int32_t>(state.range(0)), false};
    ConversionStats stats;
    for (auto _ : state) {
        RandomSource random;
        random.Seed(1);
        auto result = ConvertText(text, keywords, options, random);
        stats = result.stats;
        benchmark::DoNotOptimize(result.text.data());
    }
    SetInputBytes(state);
    state.counters["phrases"] = stats.phraseCount;
    state.counters["inserted"] = stats.insertedCount;
}

void BM_ConvertTextUtf16(benchmark::State& state) {
    const std::u16string& text = WideProse();
    const KeywordList& keywords = DefaultKeywords();
    const ConversionOptions options{static_cast<std::int32_t>(state.range(0)), false};
    for (auto _ : state) {
        RandomSource random;
        random.Seed(1);
        auto result = ConvertText(text, keywords, options, random);
        benchmark::DoNotOptimize(result.text.data());
    }
    SetInputBytes(state);
}

BENCHMARK(BM_Cp932RoundTrip)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cp932RoundTripKeptBuffers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertText)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertTextUtf16)->Arg(4)->Unit(benchmark::kMillisecond);

// The console report, then each benchmark's time as a multiple of the round trip's.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // CPU time, which other work on the machine disturbs less than wall time; with
        // repetitions, the fastest of them, or the median when only aggregates are
        // reported.
        for (const Run& run : runs) {
            const bool single = run.run_type == Run::RT_Iteration;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if ((single || median) && run.iterations > 0) {
                const double seconds =
                    run.cpu_accumulated_time / static_cast<double>(run.iterations);
                auto [it, inserted] = seconds_.emplace(run.run_name.str(), seconds);
                if (!inserted && single) {
                    it->second = std::min(it->second, seconds);
                }
            }
        }
    }
    void Finalize() override {
        const auto base = seconds_.find("BM_Cp932RoundTrip");
        if (base != seconds_.end() && base->second > 0) {
            for (const auto& [name, seconds] : seconds_) {
                if (name != base->first) {
                    std::printf("%-28s %.2fx the round trip's time\n", name.c_str(),
                                seconds / base->second);
                }
            }
        }
        // The code page 932 entry point against the UTF-16 one: the codec's share of a run.
        for (const auto& [name, seconds] : seconds_) {
            const auto wide = seconds_.find("BM_ConvertTextUtf16" + name.substr(14));
            if (name.starts_with("BM_ConvertText/") && wide != seconds_.end() && wide->second > 0) {
                std::printf("%-28s %.2fx the UTF-16 ConvertText's time\n", name.c_str(),
                            seconds / wide->second);
            }
        }
        ConsoleReporter::Finalize();
    }

  private:
    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    std::printf("code page 932 walk: %s\n",
                detail::ByteWalkUsesAvx2() ? "AVX2" : "SSE2 (or byte by byte)");
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
