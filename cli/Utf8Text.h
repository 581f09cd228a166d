#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/Conversion.h"
#include "engine/KeywordList.h"
#include "engine/RandomSource.h"

namespace quillery {

// Converts UTF-8 text through the same steps as the window's text, with every line break
// kept as it came: LF, CR LF or a lone CR, the final one too (the engine's lines end at
// CR LF and it drops a final break; here each break is given to it as CR LF and put back
// afterwards). A byte-order mark at the start stays at the start and is not part of the
// first phrase. The statistics are the engine's for the text with CR LF breaks, so they
// equal those of the same text in code page 932. Nothing when `bytes` is not valid UTF-8.
std::optional<ConversionResult<std::string>> ConvertUtf8Text(std::string_view bytes,
                                                             const KeywordList& keywords,
                                                             const ConversionOptions& options,
                                                             RandomSource& random);

}  // namespace quillery
