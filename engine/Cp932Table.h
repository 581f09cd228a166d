#pragma once

// The code page 932 table, generated from the published mapping (Cp932Table.cpp and the
// script that writes it, scripts/make-cp932-table.py). Plain data: the codec builds its
// look-up tables from it.

#include <cstdint>
#include <span>

namespace quillery::cp932 {

// A code (one byte, or lead byte << 8 | trail byte) and a UTF-16 unit.
struct Entry {
    std::uint16_t code;
    char16_t unit;
};

// Every character of the code page, in code order: what each code reads as.
extern const std::span<const Entry> kCharacterTable;
// For each character with more than one code, the one written (the one Windows writes).
extern const std::span<const Entry> kPreferredCodeTable;
// Characters the code page holds under another Unicode form, and the code written for
// them; that code reads back as the code page's own form.
extern const std::span<const Entry> kOtherFormTable;

}  // namespace quillery::cp932
