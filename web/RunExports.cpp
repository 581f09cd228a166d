// One conversion run in the page's Web Worker: the steps a desktop worker takes, with the
// dictionary's bytes put where the run opens its file. What the run reports goes to the
// worker's script at once, in order, so the page shows 処理中 while the text converts.
#include <emscripten/emscripten.h>

#include <cstdio>
#include <string>
#include <utility>

#include "engine/ConversionRun.h"
#include "web/ExportBuffer.h"
#include "windowlogic/PaneFile.h"
#include "windowlogic/RunController.h"

namespace {

// The run's dictionary file, in the worker's memory file system.
constexpr char kDictionaryFile[] = "/dictionary";

// clang-format off
EM_JS(void, qm_report, (int kind, const char16_t* text, int count, int value), {
    Module.onRunReport(kind, text, count, value);
});
// clang-format on

// The kinds the script tells apart.
enum Report { kMessage = 1, kBusy = 2, kStatus = 3, kNewestSeed = 4, kOutput = 5 };

class WorkerRunHost : public quillery::RunHost {
  public:
    void ShowMessage(std::u16string_view text) override { Send(kMessage, text, 0); }
    void SetBusy(bool busy) override { Send(kBusy, {}, busy ? 1 : 0); }
    void PostStatus(std::u16string text) override {
        Send(kStatus, text, 0);
        shown_ = std::move(text);
    }
    void RecordNewestSeed(std::int32_t seed) override { Send(kNewestSeed, {}, seed); }
    void SetOutput(std::u16string text) override { Send(kOutput, text, 0); }
    // A dictionary that looked like UTF-8 and is not: told as one that cannot be read.
    void DictionaryNotUtf8(const std::string&) override {
        Send(kMessage, quillery::kCannotOpenDictionaryMessage, 0);
    }

    // The run is over: the status line as a desktop window leaves it.
    void Ended() {
        if (const std::u16string after = quillery::StatusAfterRun(shown_); after != shown_) {
            PostStatus(after);
        }
    }

  private:
    static void Send(Report kind, std::u16string_view text, int value) {
        qm_report(kind, text.data(), static_cast<int>(text.size()), value);
    }

    std::u16string shown_;  // the last status this run posted
};

bool PutDictionary(std::string_view bytes) {
    std::FILE* file = std::fopen(kDictionaryFile, "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

extern "C" {

// The options a run takes, in the order the script packs them.
enum Option {
    kPathEmpty,
    kHaveDictionary,  // 0: the dictionary named cannot be opened
    kUtf8Dictionary,
    kInsertRatio,
    kDebugRun,
    kUseFixedSeed,
    kInsertMark,
    kRandomSeed,
    kOptionCount
};

// A run as the record asked for it (see the page's qm_run_request). `input` is the input
// pane's text, LF or CR LF between lines. Few arguments: node 20's optimizing compiler has
// crashed on calls into WebAssembly with many.
EMSCRIPTEN_KEEPALIVE void qm_run(const int* options, const char* dictionary, int dictionarySize,
                                 const char16_t* input, int inputCount) {
    quillery::RunRequest request;
    request.dictionaryPathEmpty = options[kPathEmpty] != 0;
    std::remove(kDictionaryFile);
    if (options[kHaveDictionary] &&
        PutDictionary(quillery::web::BytesArg(dictionary, dictionarySize))) {
        request.dictionaryFile = kDictionaryFile;
    }
    request.insertRatio = options[kInsertRatio];
    request.debugRun = options[kDebugRun];
    request.useFixedSeed = options[kUseFixedSeed];
    request.insertMark = options[kInsertMark];
    request.randomSeed = static_cast<std::uint32_t>(options[kRandomSeed]);
    request.utf8Dictionary = options[kUtf8Dictionary] != 0;

    WorkerRunHost host;
    if (auto prepared = quillery::PrepareRun(request, host)) {
        quillery::FinishRun(
            std::move(*prepared),
            quillery::WithCrLf(quillery::web::Utf16Arg(input, inputCount), quillery::LoneCr::Keep),
            host);
    }
    host.Ended();
    std::remove(kDictionaryFile);
}

}  // extern "C"
