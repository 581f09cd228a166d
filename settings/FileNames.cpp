#include "settings/FileNames.h"

#include <algorithm>

#include "engine/Cp932Codec.h"
#include "engine/Cp932Text.h"
#include "engine/Utf8.h"

namespace quillery {

namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::optional<std::string> Cp932ToFileSystemName(std::string_view cp932) {
    if (HasLineBreakOrNul(cp932)) {
        return std::nullopt;
    }
    const std::u16string wide = ThreadCodec().Decode(cp932);
    if (std::any_of(wide.begin(), wide.end(), IsEscapedByte)) {
        return std::nullopt;
    }
    return Utf16ToUtf8(wide);
}

std::optional<std::string> FileSystemNameToCp932(std::string_view native) {
    const std::optional<std::u16string> wide = Utf8ToUtf16(native);
    if (!wide) {
        return std::nullopt;
    }
    return TextNameToCp932(*wide);
}

std::optional<std::string> TextNameToCp932(std::u16string_view name) {
    if (HasLineBreakOrNul(name)) {
        return std::nullopt;
    }
    // The encoder writes "?" for what it cannot hold and maps some characters to a
    // look-alike; either way the name would no longer be the file's.
    return EncodeExactly(name);
}

std::string FileNameFromPath(std::string_view path) {
    std::size_t start = 0;
    if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':') {
        start = 2;
    }
    for (std::size_t i = 0; i < path.size(); i += Cp932CharLength(path, i)) {
        if (path[i] == '\\' || path[i] == '/') {
            start = i + 1;
        }
    }
    return std::string(path.substr(start));
}

}  // namespace quillery
