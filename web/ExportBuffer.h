#pragma once

#include <string>
#include <string_view>

// How the exported functions hand text to the page's script: each call leaves its result
// in one buffer that the script reads (address and size in bytes) before its next call.
// Text to the script is UTF-16 or UTF-8 JSON; text from it arrives as UTF-16 units.

namespace quillery::web {

void SetResult(std::string bytes);
void SetResult(std::u16string_view text);

inline std::u16string_view Utf16Arg(const char16_t* units, int count) {
    return count > 0 ? std::u16string_view(units, static_cast<std::size_t>(count))
                     : std::u16string_view();
}
inline std::string_view BytesArg(const char* bytes, int count) {
    return count > 0 ? std::string_view(bytes, static_cast<std::size_t>(count))
                     : std::string_view();
}

// A JSON string literal of `text`, quotes included.
std::string JsonString(std::u16string_view text);

}  // namespace quillery::web
