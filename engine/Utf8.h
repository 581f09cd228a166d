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

#ifdef _WIN32
// A UTF-8 path as the wide file functions take it, which open every name (the narrow
// ones only those of the ANSI code page).
inline std::optional<std::wstring> Utf8ToWide(std::string_view path) {
    const std::optional<std::u16string> wide = Utf8ToUtf16(path);
    if (!wide) {
        return std::nullopt;
    }
    return std::wstring(wide->begin(), wide->end());
}

// A path or an argument from the wide Windows functions in UTF-8; nothing when it holds
// an unpaired surrogate.
inline std::optional<std::string> WideToUtf8(std::wstring_view wide) {
    return Utf16ToUtf8(
        std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}
#endif

}  // namespace quillery
