#pragma once

#include <cstddef>
#include <string>

#include "Conversion.h"

namespace quillery {

// The status text that ends a run, e.g.
// 変換終了： [挿入文節2 / 総文節3 = 挿入率66.7%] [解析行1] [辞書の単語5個] [出力13文字]
// Independent of the process locale: the rate always has a full stop.
std::u16string FormatStatistics(const ConversionStats& stats, std::size_t keywordCount);

}  // namespace quillery
