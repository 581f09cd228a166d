// The code page 932 ConvertText, which walks the bytes themselves, against the plain
// conversion through UTF-16 (ConvertTextThroughUtf16), and the text converted in pieces
// (PieceConversion) against the text converted whole.
// Input: the ratio (mod 11), the marks (bit 0), the seed (4 bytes), the keyword count k
// (1 + byte mod 8), then k keywords, each a length byte n (mod 32) and n bytes of code page
// 932 (decoded as the dictionary reader does, escaped bytes included), the piece length
// (1 + 2 bytes), then the text.
//
// Properties: the two conversions give the same bytes, the same counters and leave the
// random sequence at the same place; so does the conversion in pieces of that length,
// each call using no more than it is given and all of it at the end of the text.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "engine/Conversion.h"
#include "engine/Cp932Codec.h"
#include "engine/KeywordList.h"
#include "engine/PlainConversion.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillery;
    fuzz::Reader in(data, size);
    const ConversionOptions options{in.Byte() % 11, (in.Byte() & 1) != 0};
    const std::uint32_t seed = in.Uint32();
    KeywordList keywords;
    for (int k = 1 + in.Byte() % 8; k > 0; --k) {
        keywords.Append(ThreadCodec().Decode(in.Bytes(in.Byte() % 32)));
    }
    const std::size_t pieceLength = 1 + std::size_t{in.Uint16()};
    const std::string_view text = in.Rest();

    RandomSource fastRandom, plainRandom, piecesRandom;
    fastRandom.Seed(seed);
    plainRandom.Seed(seed);
    piecesRandom.Seed(seed);
    const auto fast = ConvertText(text, keywords, options, fastRandom);
    const auto plain = ConvertTextThroughUtf16(text, keywords, options, plainRandom);
    FUZZ_CHECK(fast.text == plain.text);
    FUZZ_CHECK(fast.stats == plain.stats);
    const RandomSource after = plainRandom;
    FUZZ_CHECK(fastRandom.Next() == plainRandom.Next());

    std::string joined;
    PieceConversion pieces(keywords, options, piecesRandom,
                           [&](std::string_view piece) { joined += piece; });
    std::string held;
    for (std::size_t from = 0;;) {
        const std::size_t to = std::min(text.size(), from + pieceLength);
        held += text.substr(from, to - from);
        from = to;
        const bool ends = from == text.size();
        const std::size_t used = pieces.Convert(held, ends);
        FUZZ_CHECK(used <= held.size() && (!ends || used == held.size()));
        if (ends) {
            break;
        }
        held.erase(0, used);
    }
    FUZZ_CHECK(pieces.Finish() == fast.stats);
    FUZZ_CHECK(joined == fast.text);
    FUZZ_CHECK(piecesRandom.Next() == RandomSource(after).Next());
    return 0;
}
