#pragma once

// The rules of code page 932 and UTF-16 text that the engine, the settings and the
// windows all go by, each written once here. No windowing code.

#include <cstddef>
#include <string>
#include <string_view>

namespace quillery {

constexpr bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
constexpr bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}
constexpr bool IsSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// Code page 932 lead bytes: a byte in these ranges takes the next byte as its second
// half, whatever that byte is, so a second byte 0x5C, "/", "=" or "]" is never taken for
// the ASCII character.
constexpr bool IsCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The length in bytes of the character that starts at `pos`: 2 for a lead byte that has
// a byte after it, else 1.
constexpr std::size_t Cp932CharLength(std::string_view text, std::size_t pos) {
    return IsCp932LeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

// The position of the first single-byte character `c`, or npos.
constexpr std::size_t FindCp932Char(std::string_view text, char c, std::size_t from = 0) {
    for (std::size_t i = from; i < text.size(); i += Cp932CharLength(text, i)) {
        if (text[i] == c) {
            return i;
        }
    }
    return std::string_view::npos;
}

// The position of the last single-byte character `c` at or after `from`, or npos.
constexpr std::size_t FindLastCp932Char(std::string_view text, char c, std::size_t from = 0) {
    std::size_t found = std::string_view::npos;
    for (std::size_t i = FindCp932Char(text, c, from); i != std::string_view::npos;
         i = FindCp932Char(text, c, i + 1)) {
        found = i;
    }
    return found;
}

// Equality without regard to ASCII case. Only single-byte characters fold: the second
// byte of a double-byte character is compared exactly (0x83 0x41 and 0x83 0x61 are two
// different katakana).
constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i < a.size();) {
        const std::size_t len = Cp932CharLength(a, i);
        if (len == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) {
                return false;
            }
        } else if (fold(a[i]) != fold(b[i])) {
            return false;
        }
        i += len;
    }
    return true;
}

// Whether the text holds a CR, an LF or a NUL, which a line of the settings file cannot
// keep.
template <typename Char>
constexpr bool HasLineBreakOrNul(std::basic_string_view<Char> text) {
    for (const Char c : text) {
        if (c == Char('\r') || c == Char('\n') || c == Char('\0')) {
            return true;
        }
    }
    return false;
}

// Every CR LF as one LF; a lone CR stays.
inline std::u16string CrLfToLf(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'\r' && text[i + 1] == u'\n') {
            out.append(text.substr(start, i - start));
            out.push_back(u'\n');
            start = i + 2;
            ++i;
        }
    }
    out.append(text.substr(start));
    return out;
}

}  // namespace quillery
