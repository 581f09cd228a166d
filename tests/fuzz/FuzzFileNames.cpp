// FileNameFromPath and the two file-name conversions on arbitrary bytes, taken as a code
// page 932 path and as a UTF-8 name. Properties beyond "no crash":
//  - the file name is the path's suffix from a character boundary right after a "\" or
//    "/" or a leading drive letter and colon, holding no separator; a path without any of
//    these is its own file name;
//  - a converted name holds no NUL, CR or LF and converts back: a UTF-8 name to its bytes,
//    a code page 932 name to the same characters (its bytes, unless it uses the second
//    code of a character that has two);
//  - the file name of a code page 932 path, converted, is that of the converted path.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "engine/Cp932Codec.h"
#include "engine/Cp932Text.h"
#include "engine/Utf8.h"
#include "settings/FileNames.h"

namespace {

using namespace quillery;

bool IsDrive(std::string_view path) {
    const char c = path.size() >= 2 ? path[0] : 0;
    return ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && path[1] == ':';
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

void CheckFileName(std::string_view path) {
    const std::string name = FileNameFromPath(path);
    FUZZ_CHECK(path.ends_with(name));
    const std::size_t start = path.size() - name.size();
    bool boundary = start == path.size();
    bool anySeparator = false;
    for (std::size_t i = 0; i < path.size(); i += Cp932CharLength(path, i)) {
        boundary = boundary || i == start;
        FUZZ_CHECK(i < start || !IsSeparator(path[i]));
        anySeparator = anySeparator || IsSeparator(path[i]);
    }
    FUZZ_CHECK(boundary);
    FUZZ_CHECK(start > 0 ? IsSeparator(path[start - 1]) || (start == 2 && IsDrive(path))
                         : !anySeparator && !IsDrive(path));
}

// The file name of a UTF-8 path: every byte of a separator or colon is ASCII there.
std::string_view NativeFileName(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator != std::string_view::npos ? path.substr(separator + 1)
                                               : path.substr(IsDrive(path) ? 2 : 0);
}

bool HoldsUnkeepable(std::string_view text) {
    return text.find_first_of(std::string_view("\0\r\n", 3)) != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckFileName(bytes);

    if (const std::optional<std::string> native = Cp932ToFileSystemName(bytes)) {
        FUZZ_CHECK(!HoldsUnkeepable(*native));
        FUZZ_CHECK(Utf8ToUtf16(*native).has_value());
        // Code page 932 has two codes for some characters (Ⅴ is 0xFA 0x4E and 0x87 0x58);
        // both name the same file, and the way back gives the one Windows writes.
        const std::optional<std::string> back = FileSystemNameToCp932(*native);
        FUZZ_CHECK(back.has_value() && Cp932ToFileSystemName(*back) == native);
        Cp932Codec& codec = ThreadCodec();
        if (codec.Encode(codec.Decode(bytes)) == bytes) {
            FUZZ_CHECK(*back == bytes);
        }
        const std::optional<std::string> name = Cp932ToFileSystemName(FileNameFromPath(bytes));
        FUZZ_CHECK(name.has_value() && *name == NativeFileName(*native));
    }
    if (const std::optional<std::string> cp932 = FileSystemNameToCp932(bytes)) {
        FUZZ_CHECK(!HoldsUnkeepable(*cp932));
        FUZZ_CHECK(Cp932ToFileSystemName(*cp932) == std::string(bytes));
        CheckFileName(*cp932);
    }
    return 0;
}
