#include "settings/NumberText.h"

namespace quillery {

std::int32_t ParseNumberText(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Unsigned arithmetic wraps where a signed accumulator would overflow.
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    }
    if (negative) {
        value = 0u - value;
    }
    return static_cast<std::int32_t>(value);
}

std::string FormatNumberText(std::int32_t value) {
    return std::to_string(value);
}

std::string FormatNumberText(std::uint32_t bits) {
    return std::to_string(static_cast<std::int32_t>(bits));
}

}  // namespace quillery
