#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quillery {

// Converts between code page 932 bytes (Shift-JIS as Windows defines it: 0x5C is the
// backslash, 0x7E the tilde, NEC and IBM extensions and the user-defined area included)
// and UTF-16. The platform's converter (MultiByteToWideChar and WideCharToMultiByte on
// Windows, iconv elsewhere) supplies the characters; the rules below are applied on top,
// so the same bytes give the same text and the same text the same bytes on every
// platform.
//
// Bytes that do not decode never stop a conversion and never swallow what follows:
// each such byte becomes one "escaped byte", the lone low surrogate U+DC00 + byte
// (U+DC80..U+DCFF), and decoding resumes with the very next byte. The single bytes the
// code page leaves undefined (0x80, 0xA0, 0xFD..0xFF) are escaped too. A lead byte with a
// bad trail byte escapes only the lead byte, so a CR or LF after it survives. Encoding
// turns an escaped byte back into its original byte, so bytes that are not code page 932
// pass through decode and encode unchanged; but an escaped lead byte that would be read
// back together with the first byte of what follows it (a keyword inserted after it, or a
// character written with its other code, 0xED 0x40 as 0xFA 0x5C) is written as "?", so
// that no encoded text reads back as other characters.
//
// A character is written only as bytes that read back as that very character; there is
// no best fit. A character with two codes takes the one Windows writes (U+2252 0x81E0,
// U+2170 0xFA40, U+FFE2 0x81CA). Every other character (one the code page lacks such as
// U+00A5 ¥, U+2014 —, U+2212 −, U+301C 〜 or é, a surrogate pair, an unpaired surrogate
// other than an escaped byte) is one "?".
//
// One instance is not safe to use from two threads at once; ThreadCodec() gives each
// thread its own.
class Cp932Codec {
  public:
    // Never fails: when the platform has no code page 932 converter, IsOpen() says so and
    // every byte decodes as an escaped byte, every other unit encodes as "?".
    Cp932Codec();
    ~Cp932Codec();
    Cp932Codec(const Cp932Codec&) = delete;
    Cp932Codec& operator=(const Cp932Codec&) = delete;

    // Appends the decoded text to `out`.
    void Decode(std::string_view bytes, std::u16string& out);
    // Appends the encoded bytes to `out`.
    void Encode(std::u16string_view text, std::string& out);

    std::u16string Decode(std::string_view bytes);
    std::string Encode(std::u16string_view text);

    // Whether the platform's converter opened; without it no text converts.
    bool IsOpen() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The calling thread's codec, opened on first use.
Cp932Codec& ThreadCodec();

// The code page 932 bytes of `text` when they read back as exactly that text; nothing
// when a character is missing from the code page or held only as a look-alike.
std::optional<std::string> EncodeExactly(std::u16string_view text);

constexpr char16_t kEscapedByteBase = 0xDC00;

constexpr bool IsEscapedByte(char16_t unit) {
    return unit >= 0xDC80 && unit <= 0xDCFF;
}

}  // namespace quillery
