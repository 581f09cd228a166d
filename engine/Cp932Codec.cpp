#include "Cp932Codec.h"

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace quillery {

namespace {

bool IsHighSurrogate(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

// Handles the unit at which the platform converter refused to encode: an escaped byte
// goes back to its byte, anything else becomes one "?". Returns the units consumed.
size_t EncodeRefusedUnit(std::u16string_view text, size_t i, std::string& out) {
    const char16_t u = text[i];
    if (IsEscapedByte(u)) {
        out.push_back(static_cast<char>(u - kEscapedByteBase));
        return 1;
    }
    out.push_back('?');
    if (IsHighSurrogate(u) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
        return 2;
    }
    return 1;
}

}  // namespace

#ifdef _WIN32

struct Cp932Codec::Impl {};

Cp932Codec::Cp932Codec() : impl_(nullptr) {}
Cp932Codec::~Cp932Codec() = default;

void Cp932Codec::Decode(std::string_view bytes, std::u16string& out) {
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const size_t len = (IsDBCSLeadByteEx(932, lead) && i + 1 < bytes.size()) ? 2 : 1;
        wchar_t wide[2];
        const int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data() + i,
                                          static_cast<int>(len), wide, 2);
        if (n == 1) {
            out.push_back(static_cast<char16_t>(wide[0]));
            i += len;
        } else {
            out.push_back(static_cast<char16_t>(kEscapedByteBase + lead));
            i += 1;
        }
    }
}

void Cp932Codec::Encode(std::u16string_view text, std::string& out) {
    size_t i = 0;
    while (i < text.size()) {
        const char16_t u = text[i];
        if (u < 0x80) {
            out.push_back(static_cast<char>(u));
            ++i;
            continue;
        }
        if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
            const size_t at = out.size();
            i += EncodeRefusedUnit(text, i, out);
            if (IsEscapedByte(u) && i < text.size() &&
                IsDBCSLeadByteEx(932, static_cast<BYTE>(out[at]))) {
                // Written alone, would the lead byte join the next character's first byte?
                const std::string next = Encode(text.substr(i, 1));
                const char pair[2] = {out[at], next[0]};
                wchar_t wide[2];
                if (MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, pair, 2, wide, 2) == 1) {
                    out[at] = '?';
                }
            }
            continue;
        }
        char bytes[2];
        BOOL usedDefault = FALSE;
        const wchar_t wide = static_cast<wchar_t>(u);
        const int n = WideCharToMultiByte(932, 0, &wide, 1, bytes, 2, nullptr, &usedDefault);
        if (n <= 0 || usedDefault) {
            out.push_back('?');
        } else {
            out.append(bytes, static_cast<size_t>(n));
        }
        ++i;
    }
}

#else

// iconv's answer for every character is remembered the first time it is asked: code
// page 932 is stateless, so a character converts the same wherever it stands, and a
// table look-up is many times faster than a converter call. The mapping itself stays
// the platform's.
//
// A table entry is 0 while not asked yet. Otherwise, when decoding: the unit in the low
// 16 bits and the bytes it consumes above them, or kLead for a byte that starts a
// double-byte character. When encoding: the first byte in bits 0-7, the second in
// bits 8-15 and the byte count above them; a refused unit is stored as one "?".
struct Cp932Codec::Impl {
    Impl(iconv_t to, iconv_t from) : toUtf16(to), fromUtf16(from) {}

    static constexpr std::uint32_t kLead = 1u << 20;
    static constexpr std::uint32_t Decoded(char16_t unit, std::uint32_t bytes) {
        return bytes << 16 | unit;
    }
    static constexpr std::uint32_t Escaped(unsigned char b) {
        return Decoded(static_cast<char16_t>(kEscapedByteBase + b), 1);
    }

    iconv_t toUtf16;
    iconv_t fromUtf16;
    std::uint32_t singleBytes[256] = {};
    std::unique_ptr<std::uint32_t[]> bytePairs;  // [lead << 8 | trail]
    std::unique_ptr<std::uint32_t[]> units;      // [UTF-16 unit], surrogates never asked

    std::uint32_t* BytePairs() {
        if (!bytePairs) {
            bytePairs = std::make_unique<std::uint32_t[]>(0x10000);
        }
        return bytePairs.get();
    }
    std::uint32_t* Units() {
        if (!units) {
            units = std::make_unique<std::uint32_t[]>(0x10000);
        }
        return units.get();
    }

    enum class Answer { kConverted, kIncomplete, kInvalid };

    // One character through iconv; `outBytes` is the room on entry, the output after.
    static Answer Ask(iconv_t cd, const void* input, std::size_t inBytes, void* output,
                      std::size_t& outBytes) {
        char* in = static_cast<char*>(const_cast<void*>(input));
        std::size_t inLeft = inBytes;
        char* dst = static_cast<char*>(output);
        std::size_t outLeft = outBytes;
        const std::size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
        const int error = errno;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        outBytes -= outLeft;
        if (rc != static_cast<std::size_t>(-1) && inLeft == 0) {
            return Answer::kConverted;
        }
        return (rc == static_cast<std::size_t>(-1) && error == EINVAL) ? Answer::kIncomplete
                                                                       : Answer::kInvalid;
    }

    // What decoding `length` bytes (1 or 2) starting with `b` gives.
    std::uint32_t AskDecode(const unsigned char* bytes, std::size_t length) {
        char16_t unit[2];
        std::size_t outBytes = sizeof unit;
        const Answer answer = Ask(toUtf16, bytes, length, unit, outBytes);
        if (answer == Answer::kConverted && outBytes == sizeof(char16_t)) {
            return Decoded(unit[0], static_cast<std::uint32_t>(length));
        }
        if (answer == Answer::kIncomplete && length == 1) {
            return kLead;
        }
        // Not a character, or a lead byte with a bad trail byte: only the first byte is
        // escaped, so what follows it is decoded on its own.
        return Escaped(bytes[0]);
    }

    std::uint32_t AskSingle(unsigned char b) { return singleBytes[b] = AskDecode(&b, 1); }

    std::uint32_t AskPair(unsigned char lead, unsigned char trail) {
        const unsigned char bytes[2] = {lead, trail};
        return BytePairs()[lead << 8 | trail] = AskDecode(bytes, 2);
    }

    // Whether the byte `lead`, written alone, would be read back together with the first
    // byte that `next` is written as, into another character.
    bool JoinsNext(unsigned char lead, char16_t next) {
        std::uint32_t single = singleBytes[lead];
        if (single == 0) {
            single = AskSingle(lead);
        }
        if (single != kLead) {
            return false;
        }
        unsigned char first = '?';
        if ((next & 0xF800) != 0xD800) {
            std::uint32_t entry = Units()[next];
            if (entry == 0) {
                entry = AskEncode(next);
            }
            first = static_cast<unsigned char>(entry & 0xFF);
        } else if (IsEscapedByte(next)) {
            first = static_cast<unsigned char>(next - kEscapedByteBase);
        }
        std::uint32_t pair = BytePairs()[lead << 8 | first];
        if (pair == 0) {
            pair = AskPair(lead, first);
        }
        return (pair >> 16) == 2;
    }

    std::uint32_t AskEncode(char16_t u) {
        unsigned char bytes[4];
        std::size_t outBytes = sizeof bytes;
        std::uint32_t entry = 1u << 16 | '?';
        if (Ask(fromUtf16, &u, sizeof u, bytes, outBytes) == Answer::kConverted) {
            if (outBytes == 1) {
                entry = 1u << 16 | bytes[0];
            } else if (outBytes == 2) {
                entry = 2u << 16 | static_cast<std::uint32_t>(bytes[1]) << 8 | bytes[0];
            }
        }
        return Units()[u] = entry;
    }
};

namespace {
constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
}

Cp932Codec::Cp932Codec()
    : impl_(new Impl(iconv_open(kUtf16, "CP932"), iconv_open("CP932", kUtf16))) {
    if (impl_->toUtf16 == reinterpret_cast<iconv_t>(-1) ||
        impl_->fromUtf16 == reinterpret_cast<iconv_t>(-1)) {
        // Without the converter no text can be read or written at all.
        throw std::runtime_error("iconv has no CP932 converter");
    }
}

Cp932Codec::~Cp932Codec() {
    iconv_close(impl_->toUtf16);
    iconv_close(impl_->fromUtf16);
    delete impl_;
}

void Cp932Codec::Decode(std::string_view bytes, std::u16string& out) {
    // Every character takes at least one byte and gives exactly one UTF-16 unit.
    const std::size_t start = out.size();
    out.resize(start + bytes.size());
    char16_t* dst = out.data() + start;
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = in + bytes.size();
    Impl& impl = *impl_;
    const std::uint32_t* const pairs = impl.BytePairs();
    // The byte counts are branched on, never computed from the table entry: a predicted
    // branch lets the next look-up start before this one has finished.
    while (in < end) {
        const unsigned char b = *in;
        std::uint32_t entry = impl.singleBytes[b];
        if (entry == 0) {
            entry = impl.AskSingle(b);
        }
        if (entry != Impl::kLead) {
            *dst++ = static_cast<char16_t>(entry);
            ++in;
            continue;
        }
        if (in + 1 == end) {
            *dst++ = static_cast<char16_t>(kEscapedByteBase + b);  // cut off at the end
            ++in;
            continue;
        }
        entry = pairs[b << 8 | in[1]];
        if ((entry >> 16) != 2) [[unlikely]] {
            if (entry == 0) {
                entry = impl.AskPair(b, in[1]);
            }
            if ((entry >> 16) != 2) {
                // A bad trail byte: only the lead byte is escaped.
                *dst++ = static_cast<char16_t>(entry);
                ++in;
                continue;
            }
        }
        *dst++ = static_cast<char16_t>(entry);
        in += 2;
    }
    out.resize(static_cast<std::size_t>(dst - out.data()));
}

void Cp932Codec::Encode(std::u16string_view text, std::string& out) {
    // A unit gives at most two bytes; two are always written, and the length decides
    // how far the output moves on.
    const std::size_t start = out.size();
    out.resize(start + text.size() * 2);
    char* dst = out.data() + start;
    Impl& impl = *impl_;
    const std::uint32_t* const units = impl.Units();
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const char16_t u = text[i];
        if ((u & 0xF800) == 0xD800) {
            // Nothing outside the basic plane is in code page 932; escaped bytes go back.
            std::string refused;
            i += EncodeRefusedUnit(text, i, refused);
            const auto byte = static_cast<unsigned char>(refused[0]);
            *dst++ = IsEscapedByte(u) && i < n && impl.JoinsNext(byte, text[i]) ? '?' : refused[0];
            continue;
        }
        std::uint32_t entry = units[u];
        if (entry == 0) {
            entry = impl.AskEncode(u);
        }
        dst[0] = static_cast<char>(entry & 0xFF);
        dst[1] = static_cast<char>((entry >> 8) & 0xFF);
        dst += entry >> 16;
        ++i;
    }
    out.resize(static_cast<std::size_t>(dst - out.data()));
}

#endif

std::u16string Cp932Codec::Decode(std::string_view bytes) {
    std::u16string out;
    Decode(bytes, out);
    return out;
}

std::string Cp932Codec::Encode(std::u16string_view text) {
    std::string out;
    Encode(text, out);
    return out;
}

Cp932Codec& ThreadCodec() {
    thread_local Cp932Codec codec;
    return codec;
}

}  // namespace quillery
