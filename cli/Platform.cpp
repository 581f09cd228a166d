#include "cli/Platform.h"

#include "engine/Utf8.h"

#ifdef _WIN32
// windows.h before the headers that build on it.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#endif

namespace quillery {

#ifdef _WIN32

std::optional<std::vector<std::string>> CommandLineArguments(int, char**) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return std::nullopt;
    }
    std::optional<std::vector<std::string>> args(std::in_place);
    for (int i = 1; i < count && args; ++i) {
        if (auto utf8 = WideToUtf8(wide[i])) {
            args->push_back(std::move(*utf8));
        } else {
            args.reset();
        }
    }
    LocalFree(wide);
    return args;
}

void UseBinaryStandardStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

std::FILE* OpenInputFile(const std::string& path) {
    const auto wide = Utf8ToWide(path);
    return wide ? _wfopen(wide->c_str(), L"rb") : nullptr;
}

#else

std::optional<std::vector<std::string>> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void UseBinaryStandardStreams() {}

std::FILE* OpenInputFile(const std::string& path) {
    return std::fopen(path.c_str(), "rb");
}

#endif

}  // namespace quillery
