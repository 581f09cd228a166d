#pragma once

// What the tests need of the platform, the same on Linux and Windows: temporary folders,
// files named in UTF-8 (as the engine and the settings take names on both), and running a
// program with its standard streams redirected to files.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace quillery::test {

// A path's name in UTF-8; string() would give the ANSI code page on Windows.
inline std::string Utf8Path(const std::filesystem::path& path) {
    const std::u8string name = path.u8string();
    return std::string(name.begin(), name.end());
}

inline std::filesystem::path PathFromUtf8(std::string_view name) {
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

inline void WriteBytes(std::string_view name, std::string_view bytes) {
    std::ofstream(PathFromUtf8(name), std::ios::binary).write(bytes.data(), std::ssize(bytes));
}

// The file's bytes; empty when it cannot be read.
inline std::string ReadBytes(std::string_view name) {
    std::ifstream in(PathFromUtf8(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The names in a folder, to see that nothing else was left behind.
inline std::set<std::string> NamesIn(std::string_view folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(PathFromUtf8(folder))) {
        names.insert(Utf8Path(entry.path().filename()));
    }
    return names;
}

// A folder of its own under `base`, removed with its contents.
class TempDir {
  public:
    explicit TempDir(const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
        std::random_device seed;
        std::mt19937_64 random(static_cast<std::uint64_t>(seed()) << 32 ^ seed());
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::filesystem::path candidate =
                base / ("quillery-test-" + std::to_string(random()));
            std::error_code error;
            // false when the name is taken: then another one is tried.
            if (std::filesystem::create_directory(candidate, error)) {
                path_ = candidate;
                return;
            }
        }
        throw std::runtime_error("cannot create a temporary folder");
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string Name() const { return Utf8Path(path_); }

    // The UTF-8 name of `name` (itself UTF-8) in the folder.
    std::string File(std::string_view name) const { return Utf8Path(path_ / PathFromUtf8(name)); }

    std::string Write(std::string_view name, std::string_view bytes) const {
        const std::string file = File(name);
        WriteBytes(file, bytes);
        return file;
    }

  private:
    std::filesystem::path path_;
};

#ifdef _WIN32
namespace detail {

inline std::wstring Wide(std::string_view utf8) {
    const std::u16string text = PathFromUtf8(utf8).u16string();
    return std::wstring(text.begin(), text.end());
}

// One argument as CommandLineToArgvW and the C runtime split it back: quoted, with the
// backslashes before a quote (and before the closing quote) doubled.
inline void AppendQuoted(std::wstring& line, const std::wstring& arg) {
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(2 * backslashes, L'\\');
    line += L'"';
}

inline HANDLE Inheritable(const std::filesystem::path& file, bool write) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(file.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Runs `program` with the command line `line` as it stands (its first word the program).
inline int RunCommandLine(const std::filesystem::path& program, std::wstring line,
                          const std::filesystem::path& cwd, const std::filesystem::path& in,
                          const std::filesystem::path& out, const std::filesystem::path& err) {
    const HANDLE handles[3] = {Inheritable(in, false), Inheritable(out, true),
                               Inheritable(err, true)};
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = handles[0];
    startup.hStdOutput = handles[1];
    startup.hStdError = handles[2];
    PROCESS_INFORMATION process{};
    DWORD exitCode = 0;
    int code = -1;
    if (std::find(handles, handles + 3, INVALID_HANDLE_VALUE) != handles + 3) {
        std::fprintf(stderr, "cannot open the redirected streams: error %lu\n", GetLastError());
    } else if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                               cwd.c_str(), &startup, &process)) {
        std::fprintf(stderr, "CreateProcessW failed: error %lu\n", GetLastError());
    } else {
        if (WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 &&
            GetExitCodeProcess(process.hProcess, &exitCode)) {
            code = static_cast<int>(exitCode);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    for (const HANDLE handle : handles) {
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
    return code;
}

}  // namespace detail
#endif

// Runs `program` with `args` (UTF-8) in the folder `cwd`, standard input read from
// `in`, standard output and error written to `out` and `err`; its exit code, or -1 when
// it could not be started or did not exit normally.
inline int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                      const std::filesystem::path& cwd, const std::filesystem::path& in,
                      const std::filesystem::path& out, const std::filesystem::path& err) {
#ifdef _WIN32
    std::wstring line;
    detail::AppendQuoted(line, program.wstring());
    for (const std::string& arg : args) {
        line += L' ';
        detail::AppendQuoted(line, detail::Wide(arg));
    }
    return detail::RunCommandLine(program, line, cwd, in, out, err);
#else
    std::vector<std::string> argv{program.string()};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (std::string& arg : argv) {
        pointers.push_back(arg.data());
    }
    pointers.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        // Only async-signal-safe calls until exec; any failure ends the child with 127.
        const int inFd = open(in.c_str(), O_RDONLY);
        const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (inFd < 0 || outFd < 0 || errFd < 0 || dup2(inFd, 0) < 0 || dup2(outFd, 1) < 0 ||
            dup2(errFd, 2) < 0 || chdir(cwd.c_str()) != 0) {
            _exit(127);
        }
        execv(pointers[0], pointers.data());
        _exit(127);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

}  // namespace quillery::test
