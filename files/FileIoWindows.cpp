// The file functions on Windows: wide paths, ReplaceFileW.
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "engine/Utf8.h"
#include "files/FileIoDetail.h"
#include "files/Paths.h"

namespace quillery {

using namespace file_io_detail;

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

FileContents::Status file_io_detail::ReadFilePieces(
    const std::string& path, const std::function<bool(std::string_view)>& take) {
    const auto wide = Utf8ToWide(path);
    if (!wide) {
        return FileContents::Status::kFailed;
    }
    std::FILE* file = _wfopen(wide->c_str(), L"rb");
    if (!file) {
        return errno == ENOENT ? FileContents::Status::kMissing : FileContents::Status::kFailed;
    }
    char buffer[8192];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0 && take({buffer, n})) {
    }
    const auto status =
        std::ferror(file) ? FileContents::Status::kFailed : FileContents::Status::kRead;
    std::fclose(file);
    return status;
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
    WIN32_FILE_ATTRIBUTE_DATA found{};
    const bool exists = GetFileAttributesExW(target->c_str(), GetFileExInfoStandard, &found) != 0;
    const auto [folderUtf8, name] = SplitPath(path);
    if (name.empty()) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    const std::wstring folder = *Utf8ToWide(folderUtf8);
    RemoveLeftovers(folder, name);
    if (exists &&
        HoldsAlready(path, std::uint64_t{found.nFileSizeHigh} << 32 | found.nFileSizeLow, bytes)) {
        return {};
    }

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

}  // namespace quillery
