#include "settings/ExecutableFolder.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "files/FileIo.h"
#include "files/Paths.h"

#ifdef _WIN32
#include <windows.h>
// windows.h first; initguid.h so that FOLDERID_RoamingAppData is defined here, with no
// import library for it.
#include <initguid.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "engine/Utf8.h"
#else
#include <pwd.h>
#include <unistd.h>
#ifdef __APPLE__
#include <mach-o/dyld.h>
#endif
#endif

namespace quillery {

namespace {

// The executable's own full path.
std::optional<std::string> ExecutablePath() {
#ifdef _WIN32
    std::vector<wchar_t> buffer(kPathCapacity);
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0 || n >= buffer.size()) {
        return std::nullopt;
    }
    return WideToUtf8(std::wstring_view(buffer.data(), n));
#elif defined(__APPLE__)
    std::uint32_t size = 0;
    _NSGetExecutablePath(nullptr, &size);
    std::vector<char> raw(size + 1);
    if (_NSGetExecutablePath(raw.data(), &size) != 0) {
        return std::nullopt;
    }
    char resolved[PATH_MAX];
    if (!realpath(raw.data(), resolved)) {
        return std::nullopt;
    }
    return std::string(resolved);
#else
    std::vector<char> buffer(kPathCapacity);
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    // A result that fills the buffer may have been cut.
    if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size()) {
        return std::nullopt;
    }
    return std::string(buffer.data(), static_cast<std::size_t>(n));
#endif
}

}  // namespace

std::optional<std::string> ExecutableDirectory() {
    std::optional<std::string> path = ExecutablePath();
    if (!path) {
        return std::nullopt;
    }
    std::string folder = SplitPath(*path).first;
    if (folder.empty()) {
        return std::nullopt;
    }
    return folder;
}

std::optional<std::string> ModulePath(std::string_view name) {
    return JoinPath(ExecutableDirectory(), name);
}

bool IsInstalledCopy(const std::string& programFolder) {
    const std::optional<std::string> marker = JoinPath(programFolder, kInstalledMarkerName);
    // No install step could have put the marker where its path would be too long.
    return marker && ProbeFileAccess(*marker) != FileAccess::kMissing;
}

namespace {

constexpr std::string_view kUserFolderName = "QuilleryMini";

#ifndef _WIN32
// An environment variable that holds an absolute path; relative ones are to be ignored.
std::optional<std::string> AbsolutePathFrom(const char* variable) {
    const char* value = std::getenv(variable);
    if (!value || value[0] != '/') {
        return std::nullopt;
    }
    return std::string(value);
}

std::optional<std::string> HomeDirectory() {
    if (auto home = AbsolutePathFrom("HOME")) {
        return home;
    }
    const passwd* entry = getpwuid(geteuid());
    if (!entry || !entry->pw_dir || entry->pw_dir[0] != '/') {
        return std::nullopt;
    }
    return std::string(entry->pw_dir);
}
#endif

}  // namespace

std::optional<std::string> UserSettingsDirectory() {
    std::optional<std::string> base;
#ifdef _WIN32
    PWSTR folder = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder))) {
        base = WideToUtf8(folder);
    }
    CoTaskMemFree(folder);
#elif defined(__APPLE__)
    if (auto home = HomeDirectory()) {
        base = WithSeparator(*home) + "Library/Application Support";
    }
#else
    base = AbsolutePathFrom("XDG_CONFIG_HOME");
    if (!base) {
        if (auto home = HomeDirectory()) {
            base = WithSeparator(*home) + ".config";
        }
    }
#endif
    if (!base || base->empty()) {
        return std::nullopt;
    }
    return WithSeparator(WithSeparator(*base) + std::string(kUserFolderName));
}

}  // namespace quillery
