#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillery {

// The number in a settings value, the same on every platform: leading white space
// (space, tab, CR, LF, vertical tab, form feed) skipped, one optional "+" or "-", then
// decimal digits up to the first other character. No digits give 0; the result is taken
// modulo 2^32, so "4294967295" and "-1" give the same bits.
std::int32_t ParseNumberText(std::string_view text);

// The signed 32-bit decimal of `bits`.
std::string FormatNumberText(std::int32_t value);
std::string FormatNumberText(std::uint32_t bits);

}  // namespace quillery
