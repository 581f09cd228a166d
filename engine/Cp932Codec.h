#pragma once

#include <string>
#include <string_view>

namespace quillery {

// Converts between code page 932 bytes (Shift-JIS as Windows defines it: 0x5C is the
// backslash, 0x7E the tilde, NEC and IBM extensions included) and UTF-16, through the
// platform's own converter.
//
// Bytes that do not decode never stop a conversion and never swallow what follows:
// each such byte becomes one "escaped byte", the lone low surrogate U+DC00 + byte
// (U+DC80..U+DCFF), and decoding resumes with the very next byte. A lead byte with a bad
// trail byte escapes only the lead byte, so a CR or LF after it survives. Encoding turns
// an escaped byte back into its original byte, so bytes that are not code page 932 pass
// through decode and encode unchanged; but an escaped lead byte that would be read back
// together with the first byte of what follows it (a keyword inserted after it, or a
// character written with its other code, 0xED 0x40 as 0xFA 0x5C) is written as "?", so
// that no encoded text reads back as other characters.
//
// A character outside the code page takes the converter's best-fit bytes where it has
// some, as Windows does too (¥ U+00A5 → 0x5C, — U+2014 → 0x815C, − U+2212 → 0x817C);
// every other character that code page 932 cannot hold (a surrogate pair, an unpaired
// surrogate other than an escaped byte, a character without a best fit) is one "?".
//
// One instance is not safe to use from two threads at once; ThreadCodec() gives each
// thread its own.
class Cp932Codec {
  public:
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

  private:
    struct Impl;
    Impl* impl_;
};

// The calling thread's codec, opened on first use.
Cp932Codec& ThreadCodec();

constexpr char16_t kEscapedByteBase = 0xDC00;

constexpr bool IsEscapedByte(char16_t unit) {
    return unit >= 0xDC80 && unit <= 0xDCFF;
}

}  // namespace quillery
