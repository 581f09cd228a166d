// Test helper: the program's settings as it starts and ends, found beside this executable
// (or in the per-user folder where that cannot be written).
//
//   settings_save_probe [--ratio N] [--named] [--stop-at STEP] [--loop]
//
// Loads the settings; given --ratio, sets it and saves. --named makes the save
// use a named temporary file; --stop-at ends the process at that step of the write (see
// WriteStep), as a kill would, before anything is printed; --loop saves again and again
// with the ratio counting up, until killed. Then prints the ratio and the dictionary
// path, one a line.
#include <cstdlib>
#include <iostream>
#include <string>

#include "files/FileIo.h"
#include "files/FileIoTesting.h"
#include "settings/Settings.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

int gStopAt = -1;

void StopAt(quillery::WriteStep step) {
    if (static_cast<int>(step) == gStopAt) {
        std::_Exit(3);
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quillery;
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);  // "\n" as elsewhere, not CR LF
#endif
    LoadSettings();
    bool save = false, loop = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : "";
        if (arg == "--ratio") {
            gSettings.insertRatio = std::atoi(next);
            save = true;
            ++i;
        } else if (arg == "--named") {
            file_io_testing::SetUnnamedTemporaryFiles(false);
        } else if (arg == "--stop-at") {
            gStopAt = std::atoi(next);
            file_io_testing::SetWriteStepHook(StopAt);
            ++i;
        } else if (arg == "--loop") {
            loop = true;
        } else {
            std::cerr << "settings_save_probe: unknown argument " << arg << '\n';
            return 2;
        }
    }
    const WindowState window{false, false, 10, 20, 330, 260};
    while (loop) {
        ++gSettings.insertRatio;
        SaveSettings(window);
    }
    if (save) {
        SaveSettings(window);
    }
    std::cout << gSettings.insertRatio << '\n' << gSettings.dictionaryPath.Bytes() << '\n';
}
