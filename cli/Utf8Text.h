#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "engine/Conversion.h"
#include "engine/KeywordList.h"
#include "engine/RandomSource.h"

namespace quillery {

// Converts UTF-8 text through the same steps as the window's text, with every line break
// kept as it came: LF, CR LF or a lone CR, the final one too (the engine's lines end at
// CR LF and it drops a final break; here each break is given to it as CR LF and put back
// afterwards). A byte-order mark at the start stays at the start and is not part of the
// first phrase. The statistics are the engine's for the text with CR LF breaks, so they
// equal those of the same text in code page 932.
//
// No text, and which side is at fault, when `bytes` is not valid UTF-8 or when the output
// cannot be written as UTF-8. Text read as UTF-8 is whole, so only a keyword holding half
// a character could cause the latter; the input is never blamed for it.
enum class Utf8Fault { kInputNotUtf8, kKeywordNotUnicode };
using Utf8Conversion = std::variant<ConversionResult<std::string>, Utf8Fault>;
Utf8Conversion ConvertUtf8Text(std::string_view bytes, const KeywordList& keywords,
                               const ConversionOptions& options, RandomSource& random);

}  // namespace quillery
