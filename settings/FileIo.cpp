#include "settings/FileIo.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>

#include "engine/Utf8.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#endif

namespace quillery {

namespace {

// A name for a temporary file that differs from the last one even within one clock tick;
// uniqueness itself is left to exclusive creation.
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
    std::snprintf(text, sizeof text, ".tmp-%lx-%llx-%x", process, ticks, counter.fetch_add(1));
    return text;
}

constexpr int kTemporaryAttempts = 100;

}  // namespace

#ifdef _WIN32

namespace {

std::optional<std::wstring> Wide(const std::string& path) {
    auto u16 = Utf8ToUtf16(path);
    if (!u16) {
        return std::nullopt;
    }
    return std::wstring(u16->begin(), u16->end());
}

}  // namespace

FileContents ReadWholeFile(const std::string& path) {
    FileContents result;
    const auto wide = Wide(path);
    if (!wide) {
        result.status = FileContents::Status::kFailed;
        return result;
    }
    std::FILE* file = _wfopen(wide->c_str(), L"rb");
    if (!file) {
        result.status =
            errno == ENOENT ? FileContents::Status::kMissing : FileContents::Status::kFailed;
        return result;
    }
    char buffer[8192];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        result.bytes.append(buffer, n);
    }
    result.status = std::ferror(file) ? FileContents::Status::kFailed : FileContents::Status::kRead;
    std::fclose(file);
    return result;
}

bool CanOpenForReading(const std::string& path) {
    const auto wide = Wide(path);
    if (!wide) {
        return false;
    }
    std::FILE* file = _wfopen(wide->c_str(), L"r");
    if (!file) {
        return false;
    }
    std::fclose(file);
    return true;
}

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
    const auto target = Wide(path);
    if (!target) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(target->c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
    }
    std::wstring temporary;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < kTemporaryAttempts && handle == INVALID_HANDLE_VALUE;
         ++attempt) {
        const auto suffix = Wide(TemporarySuffix());
        temporary = *target + *suffix;
        handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
            return false;
        }
    }
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        ok = WriteFile(handle, bytes.data() + done, chunk, &written, nullptr) && written > 0;
        done += written;
    }
    ok = ok && FlushFileBuffers(handle);
    ok = CloseHandle(handle) && ok;
    if (ok) {
        // ReplaceFileW keeps the old file's attributes and security; MoveFileExW covers
        // the case of no old file.
        ok = exists ? ReplaceFileW(target->c_str(), temporary.c_str(), nullptr,
                                   REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                    : MoveFileExW(temporary.c_str(), target->c_str(), MOVEFILE_WRITE_THROUGH);
    }
    if (!ok) {
        DeleteFileW(temporary.c_str());
    }
    return ok;
}

#else

namespace {

bool IsMissing(int error) {
    return error == ENOENT || error == ENOTDIR;
}

// Opens for reading without blocking on a FIFO; only a regular file is accepted.
int OpenRegularFile(const std::string& path, int& error) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = EISDIR;
        close(fd);
        return -1;
    }
    return fd;
}

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Makes the rename itself durable; a failure here leaves a correct file behind.
void SyncFolder(const std::string& folder) {
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

}  // namespace

FileContents ReadWholeFile(const std::string& path) {
    FileContents result;
    int error = 0;
    const int fd = OpenRegularFile(path, error);
    if (fd < 0) {
        result.status =
            IsMissing(error) ? FileContents::Status::kMissing : FileContents::Status::kFailed;
        return result;
    }
    result.status = FileContents::Status::kRead;
    char buffer[8192];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n == 0) {
            break;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            result.status = FileContents::Status::kFailed;
            result.bytes.clear();
            break;
        }
        result.bytes.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return result;
}

bool CanOpenForReading(const std::string& path) {
    int error = 0;
    const int fd = OpenRegularFile(path, error);
    if (fd < 0) {
        return false;
    }
    close(fd);
    return true;
}

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
    std::string target = path;
    struct stat st;
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char* resolved = realpath(path.c_str(), nullptr);
        if (!resolved) {
            return false;
        }
        target = resolved;
        std::free(resolved);
    }
    bool exists = false;
    if (stat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            return false;
        }
        exists = true;
    } else if (!IsMissing(errno)) {
        return false;
    }

    const std::size_t slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);

    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < kTemporaryAttempts && fd < 0; ++attempt) {
        temporary = folder + "." + name + TemporarySuffix();
        // 0666 lets the umask decide a new file's permissions, as for any file the
        // program creates.
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            return false;
        }
    }
    if (fd < 0) {
        return false;
    }

    bool ok = WriteAll(fd, bytes);
    if (ok && exists) {
        if (st.st_uid != geteuid() || st.st_gid != getegid()) {
            // Only a privileged process may hand the file back to its owner; without
            // that the new file is simply ours.
            const int chowned = fchown(fd, st.st_uid, st.st_gid);
            (void)chowned;
        }
        // After fchown, which may clear set-user-id bits.
        ok = fchmod(fd, st.st_mode & 07777) == 0;
    }
    ok = ok && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(temporary.c_str());
        return false;
    }
    SyncFolder(folder);
    return true;
}

#endif

}  // namespace quillery
