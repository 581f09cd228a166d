#pragma once

// The code page 932 ConvertText's walk over the bytes themselves: no decoding to UTF-16
// and no encoding back, for the lines where that gives the very same bytes, counters and
// draws. Internal to the engine; Conversion.cpp hands every other line to the conversion
// through UTF-16.

#include <cstddef>
#include <string_view>

#include "ConversionParts.h"

namespace quillery::detail {

using ByteOutput = OutputBuffer<char>;
using ByteKeywords = KeywordPool<char>;

// Whether the byte walk can be used with these keywords: no keyword ends with a lead byte
// that lost its second byte, whose encoding would depend on what follows the insertion.
bool ByteWalkTakesKeywords(const KeywordList& keywords);

// The keywords as code page 932 bytes, each encoded on its own.
ByteKeywords EncodeKeywords(const KeywordList& keywords);

// Whether the walk classifies bytes with AVX2 on this processor (else with SSE2, or byte
// by byte in a build without it).
bool ByteWalkUsesAvx2();

struct ByteLine {
    enum Outcome {
        kConverted,  // the line is converted; the next one starts at `next`
        kNone,       // the text has no more lines, or none known to be whole
        kUnusual,    // the line must go through UTF-16
    } outcome;
    std::size_t next;
};

// Converts the line of `text` that starts at `start`, cut off as ReadNextLine does, straight
// from its bytes: appends the output and its line break unless it is the last line, and
// moves the random sequence and the counters (but `lineCount`) on. Unless `textEnds`, more
// text may follow `text`, and a line that might be its last is left for later.
//
// Changes nothing and says kUnusual when the line holds anything but characters that
// decode and encode back to the same bytes whatever follows them: a lead byte without a
// valid second byte, or a character written under another code (0xED 0x40 as 0xFA 0x5C).
ByteLine ConvertByteLine(std::string_view text, std::size_t start, bool textEnds,
                         const ByteKeywords& keywords, const ConversionOptions& options,
                         RandomSource& random, ConversionStats& stats, ByteOutput& out);

}  // namespace quillery::detail
