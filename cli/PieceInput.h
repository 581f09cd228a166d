#pragma once

// The converter's code page 932 input, read and converted a piece at a time.

#include <cstddef>
#include <cstdio>
#include <functional>
#include <optional>
#include <string_view>

#include "engine/Conversion.h"
#include "engine/KeywordList.h"

namespace quillery {

// What the first read asks for; a long line makes later pieces larger.
inline constexpr std::size_t kFirstPieceBytes = 256 * 1024;

// Converts the code page 932 text of `in`, handing the output to `write` as it is made.
// `firstRead` is called once the first piece has been read, before any output. Returns
// the statistics; on a read error, nothing, after handing on the conversion of every whole
// line read before it (none when the first read failed).
std::optional<ConversionStats> ConvertInPieces(std::FILE* in, const KeywordList& keywords,
                                               const ConversionOptions& options,
                                               RandomSource& random,
                                               std::function<void(std::string_view)> write,
                                               const std::function<void()>& firstRead);

}  // namespace quillery
