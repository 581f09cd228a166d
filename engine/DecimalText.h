#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillery {

// A number written as one or more decimal digits 0-9 and nothing else (no sign, no
// blank), at most `max`; nothing otherwise. Leading zeros are allowed.
constexpr std::optional<std::uint64_t> ParseDecimalDigits(std::string_view text,
                                                          std::uint64_t max) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        const auto digit = static_cast<std::uint64_t>(c - '0');
        // digit > max first: max - digit would wrap around for a limit below 9.
        if (digit > max || value > (max - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    return value;
}

}  // namespace quillery
