#include "files/FileIoDetail.h"

#include <chrono>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#include <cerrno>
#endif

namespace quillery {

namespace {
std::atomic<file_io_testing::WriteStepHook> gWriteStepHook{nullptr};

class FileWriteCategoryImpl final : public std::error_category {
  public:
    const char* name() const noexcept override { return "file write"; }
    std::string message(int value) const override {
        switch (static_cast<FileWriteError>(value)) {
            case FileWriteError::kReadOnly:
                return "the file is read-only";
            case FileWriteError::kUnusable:
                return "not a regular file";
        }
        return "unknown";
    }
};

}  // namespace

namespace file_io_detail {

std::atomic<bool> gUnnamedAllowed{true};
std::atomic<bool> gUnnamedUnlinkable{false};

void Reached(WriteStep step) {
    if (const auto hook = gWriteStepHook.load()) {
        hook(step);
    }
}

std::string TemporaryPrefix(std::string_view name) {
    return "." + std::string(name) + ".tmp-";
}

std::string TemporarySuffix() {
    static std::atomic<unsigned> counter{0};
    const auto ticks = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    char text[64];
#ifdef _WIN32
    const unsigned long process = GetCurrentProcessId();
#else
    const unsigned long process = static_cast<unsigned long>(getpid());
#endif
    std::snprintf(text, sizeof text, "%lx-%llx-%x", process, ticks, counter.fetch_add(1));
    return text;
}

std::error_code LastError() {
#ifdef _WIN32
    const DWORD error = GetLastError();
    return error != 0 ? std::error_code(static_cast<int>(error), std::system_category())
                      : std::make_error_code(std::errc::io_error);
#else
    return errno != 0 ? std::error_code(errno, std::generic_category())
                      : std::make_error_code(std::errc::io_error);
#endif
}

bool Check(bool ok, std::error_code& error) {
    if (!ok && !error) {
        error = LastError();
    }
    return ok;
}

bool HoldsAlready(const std::string& path, std::uint64_t size, std::string_view bytes) {
    if (size != bytes.size()) {
        return false;
    }
    // Piece by piece: a large file is never held a second time, and the first piece that
    // differs ends the reading.
    std::size_t at = 0;
    bool same = true;
    const FileContents::Status status = ReadFilePieces(path, [&](std::string_view piece) {
        same = piece == bytes.substr(at, piece.size());
        at += piece.size();
        return same;
    });
    return status == FileContents::Status::kRead && same && at == bytes.size();
}

std::optional<std::error_code> RefusedWrite(FileAccess access) {
    switch (access) {
        case FileAccess::kReadOnly:
        case FileAccess::kNotOurs:
            return FileWriteError::kReadOnly;
        case FileAccess::kUnusable:
            return FileWriteError::kUnusable;
        case FileAccess::kMissing:
        case FileAccess::kWritable:
            break;
    }
    return std::nullopt;
}

}  // namespace file_io_detail

namespace file_io_testing {
void SetWriteStepHook(WriteStepHook hook) {
    gWriteStepHook = hook;
}
void SetUnnamedTemporaryFiles(bool allowed) {
    file_io_detail::gUnnamedAllowed = allowed;
}
void SetUnnamedFilesUnlinkable(bool unlinkable) {
    file_io_detail::gUnnamedUnlinkable = unlinkable;
}
}  // namespace file_io_testing

FileContents ReadWholeFile(const std::string& path) {
    FileContents result;
    result.status = file_io_detail::ReadFilePieces(path, [&](std::string_view piece) {
        result.bytes.append(piece);
        return true;
    });
    if (result.status != FileContents::Status::kRead) {
        result.bytes.clear();
    }
    return result;
}

const std::error_category& FileWriteCategory() {
    static const FileWriteCategoryImpl category;
    return category;
}

std::error_code make_error_code(FileWriteError error) {
    return {static_cast<int>(error), FileWriteCategory()};
}

}  // namespace quillery
