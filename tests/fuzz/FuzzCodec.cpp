// The code page 932 codec on arbitrary input, read both as code page 932 bytes and as
// UTF-16 units (little-endian pairs). Properties beyond "no crash":
//  - decoding gives one unit per character and never more units than bytes; encoding
//    that text and decoding it again gives the same units, except that an escaped lead
//    byte may come back as "?" (when it would have joined what follows); and encoding is
//    a fixed point: the bytes it writes decode and encode to themselves;
//  - every unit of a text is written as itself when the code page holds it, as the code
//    page's own form when the table lists another form, and as one "?" otherwise (a
//    surrogate pair as one "?"); an escaped byte as its byte, or as "?" where a lead byte
//    would join what follows; EncodeExactly succeeds exactly when the text reads back as
//    itself.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "engine/Cp932Codec.h"
#include "engine/Cp932Table.h"
#include "engine/Cp932Text.h"

namespace {

using namespace quillery;

// What each unit reads back as once written, from the generated table alone: the unit
// itself, the code page's form of another form, or "?".
struct Expected {
    char16_t readBack[0x10000];
    Expected() {
        std::fill(std::begin(readBack), std::end(readBack), u'?');
        for (const cp932::Entry& e : cp932::kCharacterTable) {
            readBack[e.unit] = e.unit;
        }
        for (const cp932::Entry& e : cp932::kOtherFormTable) {
            for (const cp932::Entry& c : cp932::kCharacterTable) {
                if (c.code == e.code) {
                    readBack[e.unit] = c.unit;
                }
            }
        }
    }
};

void CheckBytes(Cp932Codec& codec, std::string_view bytes) {
    const std::u16string text = codec.Decode(bytes);
    FUZZ_CHECK(text.size() <= bytes.size());
    const std::string written = codec.Encode(text);
    const std::u16string back = codec.Decode(written);
    FUZZ_CHECK(back.size() == text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool escapedLead =
            IsEscapedByte(text[i]) &&
            IsCp932LeadByte(static_cast<unsigned char>(text[i] - kEscapedByteBase));
        FUZZ_CHECK(back[i] == text[i] || (escapedLead && back[i] == u'?'));
    }
    FUZZ_CHECK(codec.Encode(back) == written);
}

void CheckText(Cp932Codec& codec, std::u16string_view text) {
    static const Expected expected;
    const std::string written = codec.Encode(text);
    const std::u16string back = codec.Decode(written);
    std::size_t j = 0;
    for (std::size_t i = 0; i < text.size(); ++i, ++j) {
        FUZZ_CHECK(j < back.size());
        const char16_t u = text[i];
        if (IsEscapedByte(u)) {
            // Its byte: escaped again when that byte is no character alone, or "?" when a
            // lead byte would join what follows; else the character the byte is.
            const char byte = static_cast<char>(u - kEscapedByteBase);
            const char16_t alone = codec.Decode(std::string_view(&byte, 1))[0];
            const bool lead = IsCp932LeadByte(static_cast<unsigned char>(byte));
            FUZZ_CHECK(back[j] == alone || (lead && back[j] == u'?'));
        } else if (IsSurrogate(u)) {
            FUZZ_CHECK(back[j] == u'?');
            if (IsHighSurrogate(u) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
                ++i;
            }
        } else {
            FUZZ_CHECK(back[j] == expected.readBack[u]);
        }
    }
    FUZZ_CHECK(j == back.size());
    FUZZ_CHECK(EncodeExactly(text).has_value() == (back == text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Cp932Codec codec;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckBytes(codec, bytes);
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        text.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    }
    CheckText(codec, text);
    return 0;
}
