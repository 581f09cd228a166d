#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillery {

// The byte-order mark a UTF-8 file may start with.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Strict conversions: malformed input (a bad UTF-8 sequence, an overlong form, an
// unpaired surrogate) gives no result rather than a guess.
std::optional<std::string> Utf16ToUtf8(std::u16string_view text);
std::optional<std::u16string> Utf8ToUtf16(std::string_view bytes);

}  // namespace quillery
