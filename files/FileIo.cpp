#include "files/FileIo.h"
#include "files/FileIoTesting.h"
#include "files/Paths.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string_view>

#include "engine/Utf8.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <ctime>
#endif

namespace quillery {

namespace {

std::atomic<file_io_testing::WriteStepHook> gWriteStepHook{nullptr};
std::atomic<bool> gUnnamedAllowed{true};
std::atomic<bool> gUnnamedUnlinkable{false};

void Reached(WriteStep step) {
    if (const auto hook = gWriteStepHook.load()) {
        hook(step);
    }
}

// The temporary names of a file: ".NAME.tmp-" and something unique after it. Hidden, and
// recognisable as ours when a killed write leaves one behind.
std::string TemporaryPrefix(std::string_view name) {
    return "." + std::string(name) + ".tmp-";
}

// A suffix that differs from the last one even within one clock tick; uniqueness itself
// is left to exclusive creation.
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

constexpr int kTemporaryAttempts = 100;

// The cause of the system call that just failed; an I/O error when the system gave none.
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

// Passes `ok` on; a failure's cause is kept unless an earlier one was.
bool Check(bool ok, std::error_code& error) {
    if (!ok && !error) {
        error = LastError();
    }
    return ok;
}

// What a write meets at an existing path, when it must stop there.
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

namespace file_io_testing {
void SetWriteStepHook(WriteStepHook hook) {
    gWriteStepHook = hook;
}
void SetUnnamedTemporaryFiles(bool allowed) {
    gUnnamedAllowed = allowed;
}
void SetUnnamedFilesUnlinkable(bool unlinkable) {
    gUnnamedUnlinkable = unlinkable;
}
}  // namespace file_io_testing

const std::error_category& FileWriteCategory() {
    static const FileWriteCategoryImpl category;
    return category;
}

std::error_code make_error_code(FileWriteError error) {
    return {static_cast<int>(error), FileWriteCategory()};
}

#ifdef _WIN32

namespace {

bool WriteAll(HANDLE handle, std::string_view bytes, std::size_t from, std::size_t to) {
    while (from < to) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(to - from, 1 << 20));
        if (!WriteFile(handle, bytes.data() + from, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        from += written;
    }
    return true;
}

void RemoveLeftovers(const std::wstring& folder, const std::string& name) {
    const auto prefix = Utf8ToWide(TemporaryPrefix(name));
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + *prefix + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        // The pattern also matches the bare prefix and, case-blind, names the program
        // never makes: only its own exact prefix with a suffix counts.
        const std::wstring_view candidate = found.cFileName;
        if (candidate.size() > prefix->size() && candidate.starts_with(*prefix) &&
            !(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
            // One that another instance is still writing is in use and stays.
            DeleteFileW((folder + found.cFileName).c_str());
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace

FileContents ReadWholeFile(const std::string& path) {
    FileContents result;
    const auto wide = Utf8ToWide(path);
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
    const auto wide = Utf8ToWide(path);
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

FileAccess ProbeFileAccess(const std::string& path) {
    const auto wide = Utf8ToWide(path);
    if (!wide) {
        return FileAccess::kUnusable;
    }
    const DWORD attributes = GetFileAttributesW(wide->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? FileAccess::kMissing
                   : FileAccess::kUnusable;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return FileAccess::kUnusable;
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        return FileAccess::kReadOnly;
    }
    const HANDLE handle = CreateFileW(wide->c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        // Access denied is the file's security; anything else (a lock) is passing.
        return GetLastError() == ERROR_ACCESS_DENIED ? FileAccess::kNotOurs : FileAccess::kWritable;
    }
    CloseHandle(handle);
    return FileAccess::kWritable;
}

bool CanCreateFilesIn(const std::string& folder) {
    const auto wide =
        Utf8ToWide(WithSeparator(folder) + TemporaryPrefix("probe") + TemporarySuffix());
    if (!wide) {
        return false;
    }
    const HANDLE handle = CreateFileW(wide->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(handle);
    return true;
}

bool MakeFolders(const std::string& folder) {
    const auto wide = Utf8ToWide(folder);
    if (!wide || wide->empty()) {
        return false;
    }
    // Each level from the top: the ones that exist fail harmlessly.
    for (std::size_t i = 1; i <= wide->size(); ++i) {
        if (i == wide->size() || (*wide)[i] == L'\\' || (*wide)[i] == L'/') {
            CreateDirectoryW(wide->substr(0, i).c_str(), nullptr);
        }
    }
    const DWORD attributes = GetFileAttributesW(wide->c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::error_code ReplaceWritableFileAtomically(const std::string& path, std::string_view bytes) {
    const auto target = Utf8ToWide(path);
    if (!target) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    if (const auto refused = RefusedWrite(ProbeFileAccess(path))) {
        return *refused;
    }
    const bool exists = GetFileAttributesW(target->c_str()) != INVALID_FILE_ATTRIBUTES;
    const auto [folderUtf8, name] = SplitPath(path);
    if (name.empty()) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    const std::wstring folder = *Utf8ToWide(folderUtf8);
    RemoveLeftovers(folder, name);

    std::wstring temporary;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < kTemporaryAttempts && handle == INVALID_HANDLE_VALUE;
         ++attempt) {
        temporary = folder + *Utf8ToWide(TemporaryPrefix(name) + TemporarySuffix());
        handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
            break;
        }
    }
    if (handle == INVALID_HANDLE_VALUE) {
        const std::error_code created = LastError();
        if (!exists || created != std::error_code(ERROR_ACCESS_DENIED, std::system_category())) {
            return created;
        }
        // No new file in this folder: the file itself, in place.
        handle = CreateFileW(target->c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                             TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return LastError();
        }
        std::error_code error;
        if (Check(WriteAll(handle, bytes, 0, bytes.size()), error)) {
            Check(FlushFileBuffers(handle) != 0, error);
        }
        Check(CloseHandle(handle) != 0, error);
        return error;
    }
    Reached(WriteStep::kTemporaryOpened);
    std::error_code error;
    bool ok = Check(WriteAll(handle, bytes, 0, bytes.size() / 2), error);
    Reached(WriteStep::kHalfWritten);
    ok = ok && Check(WriteAll(handle, bytes, bytes.size() / 2, bytes.size()), error);
    ok = ok && Check(FlushFileBuffers(handle) != 0, error);
    ok = Check(CloseHandle(handle) != 0, error) && ok;
    if (ok) {
        Reached(WriteStep::kSynced);
        Reached(WriteStep::kNamed);
        // ReplaceFileW keeps the old file's attributes and security; MoveFileExW covers
        // the case of no old file.
        ok = Check(
            exists ? ReplaceFileW(target->c_str(), temporary.c_str(), nullptr,
                                  REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
                   : MoveFileExW(temporary.c_str(), target->c_str(), MOVEFILE_WRITE_THROUGH) != 0,
            error);
        if (ok && !exists) {
            SetFileAttributesW(target->c_str(), FILE_ATTRIBUTE_NORMAL);
        }
    }
    if (!ok) {
        DeleteFileW(temporary.c_str());
        return error;
    }
    Reached(WriteStep::kReplaced);
    return {};
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

bool WriteAll(int fd, std::string_view bytes, std::size_t from, std::size_t to) {
    while (from < to) {
        const ssize_t n = write(fd, bytes.data() + from, to - from);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        from += static_cast<std::size_t>(n);
    }
    return true;
}

std::string FolderOrDot(const std::string& folder) {
    return folder.empty() ? "." : folder;
}

// Makes the rename itself durable; a failure here leaves a correct file behind.
void SyncFolder(const std::string& folder) {
    const int fd = open(FolderOrDot(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

// Whether the temporary file `suffix` belongs to a write that may still be under way:
// its writer (the process number that starts the suffix) still runs and the file is
// recent. A killed writer's file, or one a reused process number keeps alive for long,
// is a leftover.
bool MayStillBeWritten(std::string_view suffix, const struct stat& st) {
    const std::string number(suffix.substr(0, suffix.find('-')));
    char* end = nullptr;
    errno = 0;
    const unsigned long long pid = std::strtoull(number.c_str(), &end, 16);
    if (number.empty() || *end != '\0' || errno != 0 || pid == 0 ||
        pid > static_cast<unsigned long long>(INT_MAX) || static_cast<pid_t>(pid) == getpid()) {
        return false;
    }
    const bool running = kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
    constexpr time_t kLongestWrite = 10 * 60;
    return running && time(nullptr) - st.st_mtime < kLongestWrite;
}

// Removes what killed writes of `name` left in `folder`: regular files of our temporary
// name pattern only, nothing else, and none that another instance is still writing.
void RemoveLeftovers(const std::string& folder, const std::string& name) {
    DIR* dir = opendir(FolderOrDot(folder).c_str());
    if (!dir) {
        return;
    }
    const std::string prefix = TemporaryPrefix(name);
    while (const dirent* entry = readdir(dir)) {
        const std::string_view found = entry->d_name;
        if (!found.starts_with(prefix) || found.size() == prefix.size()) {
            continue;
        }
        struct stat st;
        if (fstatat(dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode) && !MayStillBeWritten(found.substr(prefix.size()), st)) {
            unlinkat(dirfd(dir), entry->d_name, 0);
        }
    }
    closedir(dir);
}

bool IsNoRoomForANewFile(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

// An unnamed file in `folder`, or -1 (with errno) where the system or the file system
// has none.
int OpenUnnamed(const std::string& folder) {
#ifdef O_TMPFILE
    if (gUnnamedAllowed) {
        // 0666 lets the umask decide a new file's permissions, as for any file the
        // program creates.
        return open(FolderOrDot(folder).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    }
#else
    (void)folder;
#endif
    errno = EOPNOTSUPP;
    return -1;
}

// Gives the unnamed file `fd` the name `path`; fails when the name is taken.
bool LinkUnnamed(int fd, const std::string& path) {
    if (gUnnamedUnlinkable) {
        errno = EPERM;
        return false;
    }
    // Through /proc no privilege is needed; AT_EMPTY_PATH where /proc is not mounted.
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        return true;
    }
#ifdef AT_EMPTY_PATH
    if (errno == ENOENT) {
        return linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0;
    }
#endif
    return false;
}

// A descriptor closed on every path out of a write.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) {
            close(fd);
        }
    }
    bool Close() {
        const int n = close(fd);
        fd = -1;
        return n == 0;
    }
};

std::error_code WriteInPlace(const std::string& target, std::string_view bytes) {
    Fd file{open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW)};
    if (file.fd < 0) {
        return LastError();
    }
    std::error_code error;
    if (Check(WriteAll(file.fd, bytes, 0, bytes.size()), error)) {
        Check(fsync(file.fd) == 0, error);
    }
    Check(file.Close(), error);
    return error;
}

enum class Replaced { kWritten, kFailed, kNoRoom, kUnnameable };

// Writes `bytes` to a temporary file in `folder` and puts it in the place of `target`
// (`old` describes the file there, or is null when there is none). kNoRoom: no new file
// can be made in the folder; kUnnameable: the unnamed file could not be given a name.
// Every outcome but kWritten leaves its cause in `error`. The temporary file never
// outlives a failure.
Replaced ReplaceThroughTemporary(const std::string& target, const std::string& folder,
                                 const std::string& name, const struct stat* old,
                                 std::string_view bytes, bool unnamedWanted,
                                 std::error_code& error) {
    std::string temporary;
    Fd file{unnamedWanted ? OpenUnnamed(folder) : -1};
    const bool unnamed = file.fd >= 0;
    for (int attempt = 0; !unnamed && attempt < kTemporaryAttempts && file.fd < 0; ++attempt) {
        temporary = folder + TemporaryPrefix(name) + TemporarySuffix();
        file.fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file.fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (file.fd < 0) {
        error = LastError();
        return IsNoRoomForANewFile(errno) ? Replaced::kNoRoom : Replaced::kFailed;
    }
    Reached(WriteStep::kTemporaryOpened);

    bool ok = Check(WriteAll(file.fd, bytes, 0, bytes.size() / 2), error);
    Reached(WriteStep::kHalfWritten);
    ok = ok && Check(WriteAll(file.fd, bytes, bytes.size() / 2, bytes.size()), error);
    if (ok && old) {
        const struct stat& st = *old;
        if (st.st_uid != geteuid() || st.st_gid != getegid()) {
            // Only a privileged process may hand the file back to its owner; without
            // that the new file is simply ours.
            const int chowned = fchown(file.fd, st.st_uid, st.st_gid);
            (void)chowned;
        }
        // After fchown, which may clear set-user-id bits.
        ok = Check(fchmod(file.fd, st.st_mode & 07777) == 0, error);
    }
    ok = ok && Check(fsync(file.fd) == 0, error);
    if (ok) {
        Reached(WriteStep::kSynced);
    }

    bool placed = false;
    if (ok && unnamed) {
        // With no file there yet, the name itself; otherwise a temporary name to rename,
        // since a link cannot replace a file.
        placed = !old && LinkUnnamed(file.fd, target);
        if (!placed && old == nullptr && errno != EEXIST) {
            error = LastError();
            return Replaced::kUnnameable;
        }
        for (int attempt = 0; !placed && attempt < kTemporaryAttempts; ++attempt) {
            temporary = folder + TemporaryPrefix(name) + TemporarySuffix();
            if (LinkUnnamed(file.fd, temporary)) {
                break;
            }
            if (errno != EEXIST) {
                error = LastError();
                return Replaced::kUnnameable;
            }
            temporary.clear();
        }
        if (!placed && temporary.empty()) {
            error = std::make_error_code(std::errc::file_exists);
            ok = false;
        }
    }
    ok = Check(file.Close(), error) && ok;
    if (ok && !placed) {
        Reached(WriteStep::kNamed);
        ok = Check(rename(temporary.c_str(), target.c_str()) == 0, error);
    }
    if (!ok) {
        if (!temporary.empty()) {
            unlink(temporary.c_str());
        }
        return Replaced::kFailed;
    }
    Reached(WriteStep::kReplaced);
    SyncFolder(folder);
    return Replaced::kWritten;
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

FileAccess ProbeFileAccess(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        return IsMissing(errno) ? FileAccess::kMissing : FileAccess::kUnusable;
    }
    if (!S_ISREG(st.st_mode)) {
        return FileAccess::kUnusable;
    }
    const bool ours = st.st_uid == geteuid() || geteuid() == 0;
    if (!(st.st_mode & S_IWUSR)) {
        return ours ? FileAccess::kReadOnly : FileAccess::kNotOurs;
    }
    if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
        return FileAccess::kNotOurs;
    }
    return FileAccess::kWritable;
}

bool CanCreateFilesIn(const std::string& folder) {
    return faccessat(AT_FDCWD, FolderOrDot(folder).c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

bool MakeFolders(const std::string& folder) {
    // Each level from the top: the ones that exist fail harmlessly.
    for (std::size_t i = 1; i <= folder.size(); ++i) {
        if (i == folder.size() || folder[i] == '/') {
            mkdir(folder.substr(0, i).c_str(), 0700);
        }
    }
    struct stat st;
    return !folder.empty() && stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::error_code ReplaceWritableFileAtomically(const std::string& path, std::string_view bytes) {
    std::string target = path;
    struct stat st;
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char* resolved = realpath(path.c_str(), nullptr);
        if (!resolved) {
            return LastError();
        }
        target = resolved;
        std::free(resolved);
    }
    if (const auto refused = RefusedWrite(ProbeFileAccess(target))) {
        return *refused;
    }
    const bool exists = stat(target.c_str(), &st) == 0;
    const auto [folder, name] = SplitPath(target);
    if (name.empty()) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    RemoveLeftovers(folder, name);
    const struct stat* old = exists ? &st : nullptr;
    std::error_code error;
    switch (
        ReplaceThroughTemporary(target, folder, name, old, bytes, /*unnamedWanted=*/true, error)) {
        case Replaced::kWritten:
            return {};
        case Replaced::kUnnameable:
            // An unnamed file that cannot be given a name: write a named one instead.
            error.clear();
            return ReplaceThroughTemporary(target, folder, name, old, bytes,
                                           /*unnamedWanted=*/false, error) == Replaced::kWritten
                       ? std::error_code()
                       : error;
        case Replaced::kNoRoom:
            return exists ? WriteInPlace(target, bytes) : error;
        case Replaced::kFailed:
            break;
    }
    return error;
}

#endif

}  // namespace quillery
