#include "windowlogic/SeedField.h"

#include <limits>

#include "engine/DecimalText.h"
#include "settings/Settings.h"

namespace quillery {

namespace {

std::u16string Widen(const std::string& ascii) {
    return {ascii.begin(), ascii.end()};
}

}  // namespace

std::optional<std::uint32_t> ParseSeedField(std::u16string_view text) {
    std::string ascii;
    for (const char16_t c : text) {
        if (c > 0x7F) {
            return std::nullopt;
        }
        ascii.push_back(static_cast<char>(c));
    }
    const std::optional<std::uint64_t> value =
        ParseDecimalDigits(ascii, std::numeric_limits<std::uint32_t>::max());
    if (!value) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(*value);
}

std::u16string SeedFieldText(std::uint32_t seed) {
    return Widen(std::to_string(seed));
}

std::u16string NewestSeedText(std::int32_t seed) {
    return Widen(std::to_string(seed));
}

std::u16string SeedCopyText(std::u16string_view newestText) {
    if (newestText.size() < 2 || newestText.front() != u'-') {
        return std::u16string(newestText);
    }
    std::string digits;
    for (const char16_t c : newestText.substr(1)) {
        if (c > 0x7F) {
            return std::u16string(newestText);
        }
        digits.push_back(static_cast<char>(c));
    }
    // The magnitude of the lowest 32-bit value, 2147483648, is the largest taken.
    const std::optional<std::uint64_t> magnitude = ParseDecimalDigits(digits, 2147483648u);
    if (!magnitude) {
        return std::u16string(newestText);
    }
    const auto pattern = static_cast<std::uint32_t>(0u - static_cast<std::uint32_t>(*magnitude));
    return SeedFieldText(pattern);
}

DebugOptions DebugOptionsFrom(const Settings& settings) {
    return {settings.randomSeed, settings.useFixedSeed == 1, settings.insertMark == 1,
            settings.newestRandomSeed};
}

void StoreDebugOptions(const DebugOptions& options, Settings& settings) {
    settings.randomSeed = options.randomSeed;
    settings.useFixedSeed = options.useFixedSeed ? 1 : 0;
    settings.insertMark = options.insertMark ? 1 : 0;
    settings.debugRun = 1;
}

}  // namespace quillery
