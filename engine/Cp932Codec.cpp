#include "Cp932Codec.h"

#include "Cp932Text.h"

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace quillery {

namespace {

// A surrogate, which code page 932 has no character for: an escaped byte goes back to its
// byte, anything else (with its low surrogate, if paired) becomes one "?". Returns the
// units consumed.
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

// The platform converter is asked about one character at a time, and only through the
// two functions below; everything else (which bytes are characters, what does not encode,
// escaped bytes) is decided here, once for both platforms.
enum class Answer { kConverted, kIncomplete, kInvalid };

#ifdef _WIN32

constexpr UINT kCodePage = 932;

struct Converter {
    Converter() : opened(IsValidCodePage(kCodePage) != 0) {}

    // One or two bytes to one UTF-16 unit; kIncomplete for a lone lead byte.
    Answer Decode(const unsigned char* bytes, std::size_t length, char16_t& unit) const {
        if (!opened) {
            return Answer::kInvalid;
        }
        if (length == 1 && IsDBCSLeadByteEx(kCodePage, bytes[0])) {
            return Answer::kIncomplete;
        }
        wchar_t wide[2];
        const int n = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS,
                                          reinterpret_cast<const char*>(bytes),
                                          static_cast<int>(length), wide, 2);
        if (n != 1) {
            return Answer::kInvalid;
        }
        unit = static_cast<char16_t>(wide[0]);
        return Answer::kConverted;
    }

    // One UTF-16 unit to its bytes, without best fit; the byte count, 0 when refused.
    std::size_t Encode(char16_t unit, unsigned char (&bytes)[4]) const {
        if (!opened) {
            return 0;
        }
        const wchar_t wide = static_cast<wchar_t>(unit);
        BOOL usedDefault = FALSE;
        const int n = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, &wide, 1,
                                          reinterpret_cast<char*>(bytes), sizeof bytes, nullptr,
                                          &usedDefault);
        return n > 0 && !usedDefault ? static_cast<std::size_t>(n) : 0;
    }

    const bool opened;
};

#else

constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

struct Converter {
    // Each direction is closed by its own owner, also when only one of them opened.
    struct Handle {
        explicit Handle(iconv_t cd) : cd(cd) {}
        ~Handle() {
            if (Opened()) {
                iconv_close(cd);
            }
        }
        Handle(const Handle&) = delete;
        Handle& operator=(const Handle&) = delete;
        bool Opened() const { return cd != reinterpret_cast<iconv_t>(-1); }
        const iconv_t cd;
    };

    Converter()
        : toUtf16(iconv_open(kUtf16, "CP932")),
          fromUtf16(iconv_open("CP932", kUtf16)),
          opened(toUtf16.Opened() && fromUtf16.Opened()) {}

    // `outBytes` is the room on entry, the output after.
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

    Answer Decode(const unsigned char* bytes, std::size_t length, char16_t& unit) const {
        if (!opened) {
            return Answer::kInvalid;
        }
        char16_t units[2];
        std::size_t outBytes = sizeof units;
        const Answer answer = Ask(toUtf16.cd, bytes, length, units, outBytes);
        if (answer == Answer::kConverted) {
            if (outBytes != sizeof(char16_t)) {
                return Answer::kInvalid;
            }
            unit = units[0];
        }
        return answer;
    }

    std::size_t Encode(char16_t unit, unsigned char (&bytes)[4]) const {
        if (!opened) {
            return 0;
        }
        std::size_t outBytes = sizeof bytes;
        return Ask(fromUtf16.cd, &unit, sizeof unit, bytes, outBytes) == Answer::kConverted
                   ? outBytes
                   : 0;
    }

    Handle toUtf16;
    Handle fromUtf16;
    const bool opened;
};

#endif

// Single bytes that code page 932 leaves undefined. Windows' converter still turns them
// into U+0080 and U+F8F0..U+F8F3 and iconv refuses them; as escaped bytes they pass
// through unchanged on both.
constexpr bool IsUndefinedSingleByte(unsigned char b) {
    return b == 0x80 || b == 0xA0 || b >= 0xFD;
}

}  // namespace

// The converter's answer for every character is remembered the first time it is asked:
// code page 932 is stateless, so a character converts the same wherever it stands, and a
// table look-up is many times faster than a converter call.
//
// A table entry is 0 while not asked yet. Otherwise, when decoding: the unit in the low
// 16 bits and the bytes it consumes above them, or kLead for a byte that starts a
// double-byte character. When encoding: the first byte in bits 0-7, the second in
// bits 8-15 and the byte count above them; a refused unit is stored as one "?".
struct Cp932Codec::Impl {
    static constexpr std::uint32_t kLead = 1u << 20;
    static constexpr std::uint32_t Decoded(char16_t unit, std::uint32_t bytes) {
        return bytes << 16 | unit;
    }
    static constexpr std::uint32_t Escaped(unsigned char b) {
        return Decoded(static_cast<char16_t>(kEscapedByteBase + b), 1);
    }
    static constexpr std::uint32_t kRefused = 1u << 16 | '?';

    Converter converter;
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

    std::uint32_t Single(unsigned char b) {
        return singleBytes[b] != 0 ? singleBytes[b] : AskSingle(b);
    }
    std::uint32_t Pair(unsigned char lead, unsigned char trail) {
        const std::uint32_t entry = BytePairs()[lead << 8 | trail];
        return entry != 0 ? entry : AskPair(lead, trail);
    }
    std::uint32_t Unit(char16_t u) {
        const std::uint32_t entry = Units()[u];
        return entry != 0 ? entry : AskEncode(u);
    }

    std::uint32_t AskSingle(unsigned char b) {
        char16_t unit = 0;
        std::uint32_t entry = Escaped(b);
        if (!IsUndefinedSingleByte(b)) {
            switch (converter.Decode(&b, 1, unit)) {
                case Answer::kConverted:
                    entry = Decoded(unit, 1);
                    break;
                case Answer::kIncomplete:
                    entry = kLead;
                    break;
                case Answer::kInvalid:
                    break;
            }
        }
        return singleBytes[b] = entry;
    }

    // Not a character, or a lead byte with a bad trail byte: only the lead byte is
    // escaped, so what follows it is decoded on its own.
    std::uint32_t AskPair(unsigned char lead, unsigned char trail) {
        const unsigned char bytes[2] = {lead, trail};
        char16_t unit = 0;
        const std::uint32_t entry =
            Single(lead) == kLead && converter.Decode(bytes, 2, unit) == Answer::kConverted
                ? Decoded(unit, 2)
                : Escaped(lead);
        return BytePairs()[lead << 8 | trail] = entry;
    }

    // A character is written as the bytes the converter gives it only when those bytes
    // read back as the very same character; a look-alike (best fit) or a character the
    // code page lacks is one "?", so whatever is written reads back unchanged.
    std::uint32_t AskEncode(char16_t u) {
        unsigned char bytes[4];
        const std::size_t n = converter.Encode(u, bytes);
        std::uint32_t entry = kRefused;
        if (n == 1 && Single(bytes[0]) == Decoded(u, 1)) {
            entry = 1u << 16 | bytes[0];
        } else if (n == 2 && Pair(bytes[0], bytes[1]) == Decoded(u, 2)) {
            entry = 2u << 16 | static_cast<std::uint32_t>(bytes[1]) << 8 | bytes[0];
        }
        return Units()[u] = entry;
    }

    // Whether the byte `lead`, written alone, would be read back together with the first
    // byte that `next` is written as, into another character.
    bool JoinsNext(unsigned char lead, char16_t next) {
        if (Single(lead) != kLead) {
            return false;
        }
        unsigned char first = '?';
        if (!IsSurrogate(next)) {
            first = static_cast<unsigned char>(Unit(next) & 0xFF);
        } else if (IsEscapedByte(next)) {
            first = static_cast<unsigned char>(next - kEscapedByteBase);
        }
        return (Pair(lead, first) >> 16) == 2;
    }
};

Cp932Codec::Cp932Codec() : impl_(std::make_unique<Impl>()) {}

bool Cp932Codec::IsOpen() const {
    return impl_->converter.opened;
}

Cp932Codec::~Cp932Codec() = default;

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
        if (IsSurrogate(u)) {
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

std::optional<std::string> EncodeExactly(std::u16string_view text) {
    Cp932Codec& codec = ThreadCodec();
    std::string bytes = codec.Encode(text);
    if (codec.Decode(bytes) != text) {
        return std::nullopt;
    }
    return bytes;
}

Cp932Codec& ThreadCodec() {
    thread_local Cp932Codec codec;
    return codec;
}

}  // namespace quillery
