#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "Conversion.h"
#include "KeywordList.h"
#include "RandomSource.h"

namespace quillery {

inline constexpr std::u16string_view kNoDictionaryMessage =
    u"辞書ファイルを設定してください。\r\n\r\nメニューの[変換設定]→[辞書ファイル設定]"
    u"で設定します。";
inline constexpr std::u16string_view kCannotOpenDictionaryMessage = u"辞書ファイルが開けません";
inline constexpr std::u16string_view kEmptyDictionaryMessage = u"辞書ファイルが空です";
inline constexpr std::u16string_view kBusyStatus = u"処理中．．．";

// What a run tells the one it runs for: the window, or the converter's standard error.
// Every call returns at once; a host carries the calls out in the order they were made
// (the window on its own thread), a message box before whatever follows it.
class RunHost {
  public:
    virtual ~RunHost() = default;
    virtual void ShowMessage(std::u16string_view text) = 0;
    virtual void SetBusy(bool busy) = 0;
    // Shows `text` in the status bar, once the window takes it over.
    virtual void PostStatus(std::u16string text) = 0;
    virtual void RecordNewestSeed(std::int32_t seed) = 0;
    virtual void SetOutput(std::u16string text) = 0;
    // The dictionary, read as UTF-8 as the request asked, is not UTF-8. The converter
    // asks for UTF-8 when told to and names the file as it was given, in whatever bytes;
    // a page asks for it when a chosen file looks like UTF-8.
    virtual void DictionaryNotUtf8(const std::string& /*file*/) {}
};

// The settings a run takes when it starts.
struct RunRequest {
    bool dictionaryPathEmpty = true;
    // The dictionary's name in the file system's encoding; nullopt when the stored name
    // cannot be expressed there (it then cannot be opened).
    std::optional<std::string> dictionaryFile;
    std::int32_t insertRatio = 0;
    std::int32_t debugRun = 0;
    std::int32_t useFixedSeed = 0;
    std::int32_t insertMark = 0;
    std::uint32_t randomSeed = 0;
    // The window's dictionaries are code page 932; the converter may read UTF-8 ones.
    bool utf8Dictionary = false;
};

// A run that has its keywords and its seed and waits for the input text.
struct PreparedRun {
    KeywordList keywords;
    RandomSource random;
    ConversionOptions options;
};

// Seconds since 1970-01-01 00:00 UTC, as a 32-bit value.
std::int32_t ClockSeed();

// The steps up to seeding: the empty-path test, opening and reading the dictionary, the
// busy state and its status, the seed. Returns nothing when the run has ended (its
// message given, the busy state left again where it was entered).
std::optional<PreparedRun> PrepareRun(const RunRequest& request, RunHost& host,
                                      const std::function<std::int32_t()>& clock = ClockSeed);

// The steps after reading the input (CR LF between lines): converting, the output, the
// statistics, leaving the busy state. When `stop` becomes true during the conversion
// (the window has ended), the run ends at once and tells the host nothing more.
void FinishRun(PreparedRun run, std::u16string_view input, RunHost& host,
               const std::atomic<bool>* stop = nullptr);

// The status text that ends a run, e.g.
// 変換終了： [挿入文節2 / 総文節3 = 挿入率66.7%] [解析行1] [辞書の単語5個] [出力13文字]
// Independent of the process locale: the rate always has a full stop.
std::u16string FormatStatistics(const ConversionStats& stats, std::size_t keywordCount);

// The last steps, once the output has been given: the statistics, leaving the busy
// state. FinishRun ends with them; the converter, which writes its output itself, too.
void EndRun(const ConversionStats& stats, std::size_t keywordCount, RunHost& host);

}  // namespace quillery
