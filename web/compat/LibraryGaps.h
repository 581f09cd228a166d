#pragma once

// What the standard library of the WebAssembly tool chain (Debian's emscripten 3.1.6) does
// not have yet, filled in for that build alone so that the engine needs no second path.
// Force-included by web/CMakeLists.txt; every other build uses the library's own.

#ifdef __cplusplus
#include <bit>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <type_traits>

#if !defined(__cpp_lib_bit_cast)
namespace std {
template <typename To, typename From>
requires(sizeof(To) == sizeof(From) && is_trivially_copyable_v<To> &&
         is_trivially_copyable_v<From>) constexpr To bit_cast(const From& from) noexcept {
    return __builtin_bit_cast(To, from);
}
}  // namespace std
#endif

// Scientific notation only, which is all the engine asks for. The wasm C library prints
// in the "C" locale and rounds correctly, as the native to_chars does.
namespace std {
inline to_chars_result to_chars(char* first, char* last, double value, chars_format format,
                                int precision) {
    if (format != chars_format::scientific) {
        return {last, errc::invalid_argument};
    }
    char text[64];
    const int length = std::snprintf(text, sizeof text, "%.*e", precision, value);
    // A text longer than the buffer was cut short by snprintf: too large, not copied.
    if (length < 0 || static_cast<size_t>(length) >= sizeof text || length > last - first) {
        return {last, errc::value_too_large};
    }
    std::memcpy(first, text, static_cast<size_t>(length));
    return {first + length, errc{}};
}
}  // namespace std
#endif
