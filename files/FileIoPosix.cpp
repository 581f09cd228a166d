// The file functions on POSIX systems: unnamed temporary files where Linux offers them,
// else named ones, put in place with one rename.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "files/FileIoDetail.h"
#include "files/Paths.h"

namespace quillery {

using namespace file_io_detail;

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

FileContents::Status file_io_detail::ReadFilePieces(
    const std::string& path, const std::function<bool(std::string_view)>& take) {
    int error = 0;
    const int fd = OpenRegularFile(path, error);
    if (fd < 0) {
        return IsMissing(error) ? FileContents::Status::kMissing : FileContents::Status::kFailed;
    }
    FileContents::Status status = FileContents::Status::kRead;
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
            status = FileContents::Status::kFailed;
            break;
        }
        if (!take({buffer, static_cast<std::size_t>(n)})) {
            break;
        }
    }
    close(fd);
    return status;
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
    if (exists && HoldsAlready(target, static_cast<std::uint64_t>(st.st_size), bytes)) {
        return {};
    }
    const struct stat* old = exists ? &st : nullptr;
    std::error_code error;
    for (const bool unnamed : {true, false}) {
        error.clear();
        switch (ReplaceThroughTemporary(target, folder, name, old, bytes, unnamed, error)) {
            case Replaced::kWritten:
                return {};
            case Replaced::kUnnameable:
                continue;  // an unnamed file that cannot be given a name: a named one then
            case Replaced::kNoRoom:
                return exists ? WriteInPlace(target, bytes) : error;
            case Replaced::kFailed:
                return error;
        }
    }
    return error;
}

}  // namespace quillery
