#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillery {

namespace detail {
struct Cp932Tables;
}

// Converts between code page 932 bytes (Shift-JIS as Windows defines it: 0x5C is the
// backslash, 0x7E the tilde, NEC and IBM extensions and the user-defined area included)
// and UTF-16, through the table of Cp932Table.h: no platform converter is involved, so
// every platform converts alike.
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
// A character with two codes takes the one Windows writes (U+2252 0x81E0, U+2170 0xFA40,
// U+FFE2 0x81CA). The forms that Linux input methods and web pages give some characters of
// the code page are written as the code page's own: U+301C 〜, U+2016 ‖, U+2212 −,
// U+00A2 ¢, U+00A3 £, U+00AC ¬ and U+2014 — as ～ ∥ － ￠ ￡ ￢ ―, and U+00A5 ¥ as ￥
// (never as 0x5C, which reads back as a backslash). Every other character the code page
// lacks (é, a surrogate pair, an unpaired surrogate other than an escaped byte) is one
// "?". EncodeExactly() is for text that must read back as itself, such as file names.
//
// The tables are built once and never change, so any number of threads may convert at
// once, with one codec or several.
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
    const detail::Cp932Tables& tables_;
};

// A codec for the calling thread; kept for the callers that ask for one per thread.
Cp932Codec& ThreadCodec();

// The code page 932 bytes of `text` when they read back as exactly that text; nothing
// when a character is missing from the code page or held only under another form
// (10時〜.dat is not the file 10時～.dat).
std::optional<std::string> EncodeExactly(std::u16string_view text);

constexpr char16_t kEscapedByteBase = 0xDC00;

// What the codec does with one character's bytes (a single byte, or a lead and a trail
// byte): whether they decode to one unit that encodes back to exactly these bytes, whatever
// text follows it, and which unit that is. For code that works on the bytes themselves and
// must give what a decode and encode would.
struct Cp932Character {
    bool readsBackAsItself = false;
    char16_t unit = 0;
};
Cp932Character LookUpCp932Character(std::string_view bytes);

constexpr bool IsEscapedByte(char16_t unit) {
    return unit >= 0xDC80 && unit <= 0xDCFF;
}

}  // namespace quillery
