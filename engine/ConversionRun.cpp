#include "ConversionRun.h"

#include <cstdio>
#include <ctime>

#include "StatisticsMessage.h"

namespace quillery {

std::int32_t ClockSeed() {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(std::time(nullptr)));
}

std::optional<PreparedRun> PrepareRun(const RunRequest& request, RunHost& host,
                                      const std::function<std::int32_t()>& clock) {
    PreparedRun run;
    run.options.insertRatio = request.insertRatio;
    if (request.dictionaryPathEmpty) {
        host.ShowMessage(kNoDictionaryMessage);
        return std::nullopt;
    }
    std::FILE* file =
        request.dictionaryFile ? OpenDictionaryFile(*request.dictionaryFile) : nullptr;
    if (file == nullptr) {
        host.ShowMessage(kCannotOpenDictionaryMessage);
        return std::nullopt;
    }
    host.SetBusy(true);
    host.PostStatus(std::u16string(kBusyStatus));
    std::optional<KeywordList> keywords =
        request.utf8Dictionary ? ReadUtf8Keywords(file) : ReadKeywords(file);
    std::fclose(file);
    if (!keywords) {
        host.DictionaryNotUtf8(*request.dictionaryFile);
        host.SetBusy(false);
        return std::nullopt;
    }
    run.keywords = *std::move(keywords);
    if (run.keywords.empty()) {
        host.ShowMessage(kEmptyDictionaryMessage);
        host.SetBusy(false);
        return std::nullopt;
    }
    if (request.debugRun == 1 && request.useFixedSeed == 1) {
        run.random.Seed(request.randomSeed);
    } else {
        const std::int32_t seed = clock();
        host.RecordNewestSeed(seed);
        run.random.Seed(static_cast<std::uint32_t>(seed));
    }
    run.options.markInsertions = request.debugRun == 1 && request.insertMark == 1;
    return run;
}

void FinishRun(PreparedRun run, std::u16string_view input, RunHost& host,
               const std::atomic<bool>* stop) {
    auto result = ConvertText(input, run.keywords, run.options, run.random, stop);
    if (result.stopped) {
        return;
    }
    host.SetOutput(std::move(result.text));
    const std::size_t keywordCount = run.keywords.size();
    run.keywords = KeywordList();
    EndRun(result.stats, keywordCount, host);
}

void EndRun(const ConversionStats& stats, std::size_t keywordCount, RunHost& host) {
    host.PostStatus(FormatStatistics(stats, keywordCount));
    host.SetBusy(false);
}

}  // namespace quillery
