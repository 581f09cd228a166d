#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillery {

// File names are kept in code page 932 (the settings file, the dictionary path, the
// title) and opened in the file system's encoding (UTF-8). A name that does not convert
// exactly is refused rather than turned into the name of some other file: bytes that are
// not code page 932, malformed UTF-8, a character code page 932 cannot hold or holds only
// as a look-alike (U+301C WAVE DASH comes back as U+FF5E), and a NUL, CR or LF, which the
// settings file cannot keep.

// A code page 932 name in the file system's encoding, for opening.
std::optional<std::string> Cp932ToFileSystemName(std::string_view cp932);

// A name in the file system's encoding (as a file chooser returns it) in code page 932.
std::optional<std::string> FileSystemNameToCp932(std::string_view native);

// A name as text (as it is typed) in code page 932.
std::optional<std::string> TextNameToCp932(std::u16string_view name);

// The file name with its extension: the part of a code page 932 path after its last "\"
// or "/", or after a leading drive letter and colon when it has no separator. The path
// is scanned character by character, so the second byte 0x5C of a character such as
// 表 (0x95 0x5C) or ソ (0x83 0x5C) is not a separator.
std::string FileNameFromPath(std::string_view path);

}  // namespace quillery
