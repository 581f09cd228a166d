#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillery {

struct Settings;

// The debug conversion dialog's fields.

// A seed as the seed field takes it: one or more digits 0-9 and nothing else (no sign,
// no blank, no full-width digit), worth at most 4294967295.
std::optional<std::uint32_t> ParseSeedField(std::u16string_view text);

std::u16string SeedFieldText(std::uint32_t seed);

// The newest clock seed as the dialog shows it: signed, as it is stored.
std::u16string NewestSeedText(std::int32_t seed);

// What ↑コピー puts into the seed field. A clock seed from 2038 on (or a hand-edited one)
// shows as a negative number; the run was seeded with its 32-bit pattern, which is what
// the seed field takes. Any other text is copied as it is.
std::u16string SeedCopyText(std::u16string_view newestText);

// The dialog's values: the check boxes are ticked only by a stored 1.
struct DebugOptions {
    std::uint32_t randomSeed = 0;
    bool useFixedSeed = false;
    bool insertMark = false;
    std::int32_t newestRandomSeed = 0;
};
DebugOptions DebugOptionsFrom(const Settings& settings);

// Taken with OK: stored, and the next run is a debug run.
void StoreDebugOptions(const DebugOptions& options, Settings& settings);

}  // namespace quillery
