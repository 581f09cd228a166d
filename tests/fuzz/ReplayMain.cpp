// Runs a fuzz target without libFuzzer once on every file named on the command line or
// found in a folder named there, so that ctest checks the seed corpus in every build.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        if (std::filesystem::is_directory(argv[i])) {
            for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
                files.push_back(entry.path());
            }
        } else {
            files.emplace_back(argv[i]);
        }
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        // Exactly the input's bytes, so that a sanitizer sees a read past them; a pointer to
        // one byte even for an empty input, as libFuzzer passes it.
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
        const char none = 0;
        LLVMFuzzerTestOneInput(
            reinterpret_cast<const std::uint8_t*>(bytes.empty() ? &none : bytes.data()),
            bytes.size());
    }
    std::printf("%zu inputs passed\n", files.size());
    return files.empty() ? 1 : 0;
}
