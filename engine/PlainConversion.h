#pragma once

#include <string_view>

#include "Conversion.h"

namespace quillery {

// The UTF-16 ConvertText written plainly, one character at a time: what the fast one does
// and the result it must give, for a reader and for the tests, which hold the two to the
// same text, counters and random sequence (built with SSE2 and without).
ConversionResult<std::u16string> ConvertTextPlainly(std::u16string_view text,
                                                    const KeywordList& keywords,
                                                    const ConversionOptions& options,
                                                    RandomSource& random);

// The code page 932 ConvertText the plain way: each piece of the text decoded to UTF-16,
// converted as UTF-16 text, and encoded back. What the byte walk of ConvertText must give
// for every text, counters and random sequence included.
ConversionResult<std::string> ConvertTextThroughUtf16(std::string_view text,
                                                      const KeywordList& keywords,
                                                      const ConversionOptions& options,
                                                      RandomSource& random);

}  // namespace quillery
