#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#ifndef _WIN32
#include <climits>
#endif

namespace quillery {

// Paths are in the file system's encoding: UTF-8 on every platform this builds on,
// converted to UTF-16 where the platform's calls want it.

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
// The longest path the wide file functions accept, in UTF-16 units with the terminator.
inline constexpr std::size_t kPathCapacity = 32768;
#else
inline constexpr char kPathSeparator = '/';
// The platform's own limit for a path in bytes, terminator included.
inline constexpr std::size_t kPathCapacity = PATH_MAX;
#endif

// Whether `c` separates folders in a path: "/", and on Windows "\\" too.
constexpr bool IsPathSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

// `folder` ending with one separator; an empty folder (the current one) stays empty.
inline std::string WithSeparator(std::string folder) {
    if (!folder.empty() && !IsPathSeparator(folder.back())) {
        folder.push_back(kPathSeparator);
    }
    return folder;
}

// The folder part (with its separator, or empty) and the name part of a path.
inline std::pair<std::string, std::string> SplitPath(std::string_view path) {
    std::size_t end = path.size();
    while (end > 0 && !IsPathSeparator(path[end - 1])) {
        --end;
    }
    return {std::string(path.substr(0, end)), std::string(path.substr(end))};
}

// The length of `path` as the platform counts it against kPathCapacity: UTF-16 units on
// Windows (a UTF-8 sequence of four bytes is two units, any other sequence one), bytes
// elsewhere.
constexpr std::size_t PathLength(std::string_view path) {
#ifdef _WIN32
    std::size_t units = 0;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80) {
            units += byte >= 0xF0 ? 2 : 1;
        }
    }
    return units;
#else
    return path.size();
#endif
}

// `name` joined to `folder` with one separator. Nothing when there is no folder or when
// the result, with its terminator, would not fit kPathCapacity: a path that long could
// not be opened, and a cut one would name another file.
inline std::optional<std::string> JoinPath(const std::optional<std::string>& folder,
                                           std::string_view name) {
    if (!folder || folder->empty()) {
        return std::nullopt;
    }
    std::string joined = WithSeparator(*folder);
    joined.append(name);
    if (PathLength(joined) + 1 > kPathCapacity) {
        return std::nullopt;
    }
    return joined;
}

}  // namespace quillery
