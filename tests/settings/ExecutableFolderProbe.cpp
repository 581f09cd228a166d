// Test helper run through symbolic links: loads the settings; given a number, sets the
// insertion ratio to it and saves; then prints the executable's folder, the dictionary
// path and the insertion ratio.
#include <cstdlib>
#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "settings/ExecutableFolder.h"
#include "settings/Settings.h"

int main(int argc, char** argv) {
    using namespace quillery;
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);  // "\n" as on Linux, not CR LF
#endif
    LoadSettings();
    if (argc > 1) {
        gSettings.insertRatio = std::atoi(argv[1]);
        SaveSettings(WindowState{});
    }
    std::cout << ExecutableDirectory().value_or("-") << '\n'
              << gSettings.dictionaryPath.Bytes() << '\n'
              << gSettings.insertRatio << '\n';
}
