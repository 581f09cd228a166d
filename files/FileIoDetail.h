#pragma once
// What the two platforms' halves of the file functions share. Not for use outside files/.

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "files/FileIo.h"
#include "files/FileIoTesting.h"

namespace quillery::file_io_detail {

// Test seams (FileIoTesting.h): whether unnamed temporary files may be used, and whether
// they are to fail to get a name.
extern std::atomic<bool> gUnnamedAllowed;
extern std::atomic<bool> gUnnamedUnlinkable;

// Tells the test hook, if any, that a write has reached `step`.
void Reached(WriteStep step);

// The temporary names of a file: ".NAME.tmp-" and something unique after it. Hidden, and
// recognisable as ours when a killed write leaves one behind.
std::string TemporaryPrefix(std::string_view name);
// A suffix that differs from the last one even within one clock tick; uniqueness itself
// is left to exclusive creation.
std::string TemporarySuffix();
inline constexpr int kTemporaryAttempts = 100;

// The cause of the system call that just failed; an I/O error when the system gave none.
std::error_code LastError();
// Passes `ok` on; a failure's cause is kept unless an earlier one was.
bool Check(bool ok, std::error_code& error);
// What a write meets at an existing path, when it must stop there.
std::optional<std::error_code> RefusedWrite(FileAccess access);
// Hands the bytes of the file at `path` to `take` a piece at a time, to its end or until
// `take` says false; the status is ReadWholeFile's. One per platform.
FileContents::Status ReadFilePieces(const std::string& path,
                                    const std::function<bool(std::string_view)>& take);
// Whether the file at `path`, `size` bytes long, holds exactly `bytes`: then a write
// would only wait for its flush to the disk (seconds on a busy one) for nothing.
bool HoldsAlready(const std::string& path, std::uint64_t size, std::string_view bytes);

}  // namespace quillery::file_io_detail
