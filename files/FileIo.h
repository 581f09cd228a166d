#pragma once

#include <string>
#include <string_view>
#include <system_error>
#include <type_traits>

namespace quillery {

// Paths here are in the file system's encoding (UTF-8 on every platform this builds on;
// converted to UTF-16 where the platform's calls want it).

struct FileContents {
    enum class Status { kRead, kMissing, kFailed };
    Status status = Status::kMissing;
    std::string bytes;
};

// The whole file. kMissing only when there is no such file; a directory, a file that
// cannot be read or a read error give kFailed.
FileContents ReadWholeFile(const std::string& path);

// What a write to an existing path would meet.
enum class FileAccess {
    kMissing,
    kWritable,
    // Made read-only by its owner: no write permission for the owner (FILE_ATTRIBUTE_READONLY
    // on Windows), on a file of this user's own or seen by root. Root included: the mode
    // is the user's wish, whatever root may do.
    kReadOnly,
    // Someone else's file this process may not write (an administrator's, say).
    kNotOurs,
    // Not a regular file, or it cannot be examined.
    kUnusable,
};
FileAccess ProbeFileAccess(const std::string& path);

// Whether a new file can be made in `folder` (which must exist).
bool CanCreateFilesIn(const std::string& folder);

// Makes `folder` and the folders above it that are missing; new ones are private to the
// user (0700). True when the folder exists afterwards.
bool MakeFolders(const std::string& folder);

// Why a write was refused before anything was written. Every other failure carries the
// system's own error (errno, or GetLastError on Windows).
enum class FileWriteError {
    // The file is read-only (kReadOnly or kNotOurs above): it stays as it is.
    kReadOnly = 1,
    // Not a regular file, or it cannot be examined (kUnusable above).
    kUnusable,
};
const std::error_category& FileWriteCategory();
std::error_code make_error_code(FileWriteError error);

// Replaces the file at `path` with `bytes`, but only a file its owner lets be written,
// so that a reader sees either the old file or the new one, never a part, and a write
// killed at any moment leaves no file that outlives the next write:
//  - a file that is read-only (kReadOnly or kNotOurs above) is not touched:
//    FileWriteError::kReadOnly;
//  - leftovers of earlier killed writes beside the file (".NAME.tmp-*", regular files
//    only, not one that a running writer may still be filling) are removed;
//  - a file that holds these bytes already is not written again;
//  - the new bytes go to an unnamed temporary file where the system offers one and it
//    can be named (Linux O_TMPFILE), else to ".NAME.tmp-*" in the same folder; flushed
//    to the disk, then put in the file's place in one rename (or linked under the name
//    when there was none);
//  - in a folder where no file can be made, an existing writable file is overwritten in
//    place, as any program writing it would (not atomic then).
// An existing file keeps its permissions (and, where allowed, its owner); a new one gets
// the usual permissions for the process (0666 less the umask). A symbolic link is written
// through: its target is replaced. On any failure the old file is left as it was, no
// temporary file stays, and the error says why; no error when written.
[[nodiscard]] std::error_code ReplaceWritableFileAtomically(const std::string& path,
                                                            std::string_view bytes);

}  // namespace quillery

template <>
struct std::is_error_code_enum<quillery::FileWriteError> : std::true_type {};
