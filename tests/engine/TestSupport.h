#pragma once

// Helpers of the engine and converter tests, which write their texts in UTF-8.

#include <cstdio>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Conversion.h"
#include "engine/Cp932Codec.h"
#include "engine/Cp932Text.h"
#include "engine/KeywordList.h"
#include "engine/Utf8.h"
#include "tests/support/Portable.h"

namespace quillery {

inline void PrintTo(const ConversionStats& s, std::ostream* os) {
    *os << "{lines " << s.lineCount << ", phrases " << s.phraseCount << ", inserted "
        << s.insertedCount << ", chars " << s.outputCharCount << "}";
}

}  // namespace quillery

namespace quillery::test {

inline std::u16string U16(std::string_view utf8) {
    return Utf8ToUtf16(utf8).value();
}

// Readable in a failure message; with a lone surrogate, every unit as \uXXXX.
inline std::string Utf8(std::u16string_view text) {
    if (auto utf8 = Utf16ToUtf8(text)) {
        return *utf8;
    }
    std::string out;
    for (const char16_t unit : text) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\u%04X", static_cast<unsigned>(unit));
        out += hex;
    }
    return out;
}

// Code page 932 bytes of a test text; every character of it must be in the code page.
inline std::string Sjis(std::string_view utf8) {
    std::string bytes = ThreadCodec().Encode(U16(utf8));
    if (ThreadCodec().Decode(bytes) != U16(utf8)) {
        throw std::invalid_argument("test text does not fit code page 932");
    }
    return bytes;
}

inline std::string SjisToUtf8(std::string_view bytes) {
    return Utf8(ThreadCodec().Decode(bytes));
}

// "8e84 82cd" -> the bytes 8E 84 82 CD.
inline std::string Bytes(std::string_view hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); ++i) {
        if (hex[i] != ' ') {
            out.push_back(
                static_cast<char>(std::stoi(std::string(hex.substr(i++, 2)), nullptr, 16)));
        }
    }
    return out;
}

template <typename Text>
Text Repeat(const Text& piece, int times) {
    Text out;
    for (int i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

inline RandomSource Seeded(std::uint32_t seed) {
    RandomSource random;
    random.Seed(seed);
    return random;
}

inline KeywordList Keywords(const std::vector<std::string>& utf8) {
    KeywordList list;
    for (const std::string& keyword : utf8) {
        list.Append(U16(keyword));
    }
    return list;
}

}  // namespace quillery::test
