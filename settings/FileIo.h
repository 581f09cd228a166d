#pragma once

#include <string>

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

// True when `path` names a file that opens for reading; a folder does not count.
bool CanOpenForReading(const std::string& path);

// Replaces the file at `path` with `bytes` so that a reader sees either the old file or
// the new one, never a part: a temporary file with a unique name in the same folder is
// written, flushed to the disk and renamed over the old one. An existing file keeps its
// permissions (and, where allowed, its owner); a new one gets the usual permissions for
// the process (0666 less the umask). A symbolic link is written through: its target is
// replaced. On any failure the temporary file is removed, the old file is left as it
// was, and false is returned.
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes);

}  // namespace quillery
