#include "Cp932Codec.h"

#include "Cp932Table.h"
#include "Cp932Text.h"

#include <cstdint>

namespace quillery {

namespace detail {

// The look-up tables, built once from the generated table. When decoding, an entry holds
// the unit in the low 16 bits and the bytes it consumes above them, or kLead for a byte
// that starts a double-byte character. When encoding: the first byte in bits 0-7, the
// second in bits 8-15 and the byte count above them; a unit the code page lacks is "?".
struct Cp932Tables {
    static constexpr std::uint32_t kLead = 1u << 20;
    static constexpr std::uint32_t Decoded(char16_t unit, std::uint32_t bytes) {
        return bytes << 16 | unit;
    }
    static constexpr std::uint32_t Escaped(unsigned char b) {
        return Decoded(static_cast<char16_t>(kEscapedByteBase + b), 1);
    }
    static constexpr std::uint32_t Written(std::uint16_t code) {
        return code <= 0xFF ? 1u << 16 | code
                            : 2u << 16 | static_cast<std::uint32_t>(code & 0xFF) << 8 | code >> 8;
    }
    static constexpr std::uint32_t kRefused = 1u << 16 | '?';

    std::uint32_t singleBytes[256];
    // [lead << 8 | trail]; a pair that is not a character escapes only its lead byte, so
    // what follows is decoded on its own.
    std::uint32_t bytePairs[0x10000];
    std::uint32_t units[0x10000];  // surrogates are never looked up

    Cp932Tables() {
        for (unsigned b = 0; b < 256; ++b) {
            const auto byte = static_cast<unsigned char>(b);
            // The undefined single bytes (0x80, 0xA0, 0xFD..0xFF) stay escaped.
            singleBytes[b] = IsCp932LeadByte(byte) ? kLead : Escaped(byte);
        }
        for (unsigned code = 0; code < 0x10000; ++code) {
            bytePairs[code] = Escaped(static_cast<unsigned char>(code >> 8));
            units[code] = kRefused;
        }
        // In code order, so a character with two codes first takes the lower one.
        for (const cp932::Entry& e : cp932::kCharacterTable) {
            if (e.code <= 0xFF) {
                singleBytes[e.code] = Decoded(e.unit, 1);
            } else {
                bytePairs[e.code] = Decoded(e.unit, 2);
            }
            if (units[e.unit] == kRefused) {
                units[e.unit] = Written(e.code);
            }
        }
        for (const auto& table : {cp932::kPreferredCodeTable, cp932::kOtherFormTable}) {
            for (const cp932::Entry& e : table) {
                units[e.unit] = Written(e.code);
            }
        }
    }

    // Whether the byte `lead`, written alone, would be read back together with the first
    // byte that `next` is written as, into another character.
    bool JoinsNext(unsigned char lead, char16_t next) const {
        if (singleBytes[lead] != kLead) {
            return false;
        }
        unsigned char first = '?';
        if (!IsSurrogate(next)) {
            first = static_cast<unsigned char>(units[next] & 0xFF);
        } else if (IsEscapedByte(next)) {
            first = static_cast<unsigned char>(next - kEscapedByteBase);
        }
        return (bytePairs[lead << 8 | first] >> 16) == 2;
    }
};

}  // namespace detail

namespace {

using detail::Cp932Tables;

const Cp932Tables& SharedTables() {
    static const Cp932Tables tables;
    return tables;
}

// A surrogate, which code page 932 has no character for: an escaped byte goes back to its
// byte, anything else (with its low surrogate, if paired) becomes one "?". Returns the
// units consumed.
std::size_t EncodeRefusedUnit(std::u16string_view text, std::size_t i, char& byte) {
    const char16_t u = text[i];
    if (IsEscapedByte(u)) {
        byte = static_cast<char>(u - kEscapedByteBase);
        return 1;
    }
    byte = '?';
    if (IsHighSurrogate(u) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
        return 2;
    }
    return 1;
}

// Out of line on purpose: with the bad trail byte's step inline, the compiler turns the
// choice of step into a conditional move, and every look-up then waits for the one
// before it (half the speed); a call keeps it a predicted branch.
[[gnu::noinline]] char16_t* PutEscapedLead(char16_t* dst, std::uint32_t entry) {
    *dst = static_cast<char16_t>(entry);
    return dst + 1;
}

}  // namespace

Cp932Codec::Cp932Codec() : tables_(SharedTables()) {}

Cp932Codec::~Cp932Codec() = default;

void Cp932Codec::Decode(std::string_view bytes, std::u16string& out) {
    // Every character takes at least one byte and gives exactly one UTF-16 unit.
    const std::size_t start = out.size();
    out.resize(start + bytes.size());
    char16_t* dst = out.data() + start;
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = in + bytes.size();
    const std::uint32_t* const singles = tables_.singleBytes;
    const std::uint32_t* const pairs = tables_.bytePairs;
    // The byte counts are branched on, never computed from the table entry: a predicted
    // branch lets the next look-up start before this one has finished.
    while (in < end) {
        const unsigned char b = *in;
        std::uint32_t entry = singles[b];
        if (entry != Cp932Tables::kLead) {
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
            dst = PutEscapedLead(dst, entry);  // a bad trail byte: only the lead is escaped
            ++in;
            continue;
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
    const std::uint32_t* const units = tables_.units;
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const char16_t u = text[i];
        if (IsSurrogate(u)) [[unlikely]] {
            // Nothing outside the basic plane is in code page 932; escaped bytes go back.
            char byte = '?';
            i += EncodeRefusedUnit(text, i, byte);
            *dst++ = IsEscapedByte(u) && i < n &&
                             tables_.JoinsNext(static_cast<unsigned char>(byte), text[i])
                         ? '?'
                         : byte;
            continue;
        }
        const std::uint32_t entry = units[u];
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

Cp932Character LookUpCp932Character(std::string_view bytes) {
    const Cp932Tables& tables = SharedTables();
    std::uint32_t entry = 0;
    std::uint32_t code = 0;
    if (bytes.size() == 1) {
        code = static_cast<unsigned char>(bytes[0]);
        entry = tables.singleBytes[code];
    } else if (bytes.size() == 2) {
        code = static_cast<unsigned>(static_cast<unsigned char>(bytes[0])) << 8 |
               static_cast<unsigned char>(bytes[1]);
        entry = tables.bytePairs[code];
    }
    Cp932Character result;
    if (entry == Cp932Tables::kLead || (entry >> 16) != bytes.size()) {
        return result;
    }
    result.unit = static_cast<char16_t>(entry);
    // An escaped single byte is never a lead byte, so it goes back as itself whatever
    // follows it.
    result.readsBackAsItself =
        IsSurrogate(result.unit)
            ? IsEscapedByte(result.unit) && bytes.size() == 1
            : tables.units[result.unit] == Cp932Tables::Written(static_cast<std::uint16_t>(code));
    return result;
}

Cp932Codec& ThreadCodec() {
    thread_local Cp932Codec codec;
    return codec;
}

}  // namespace quillery
