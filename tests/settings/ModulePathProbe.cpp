// Test helper: what the settings code finds out about the executable it runs as. The
// tests run copies of it through symbolic links.
//
//   settings_module_path_probe           prints the executable's folder, the dictionary
//                                        path and the insertion ratio after loading
//   settings_module_path_probe save N    loads, sets the insertion ratio to N and saves
#include <cstdlib>
#include <iostream>
#include <string>

#include "settings/ModulePath.h"
#include "settings/Settings.h"

int main(int argc, char** argv) {
    using namespace quillery;
    LoadSettings();
    if (argc == 3 && std::string(argv[1]) == "save") {
        gSettings.insertRatio = std::atoi(argv[2]);
        SaveSettings(WindowState{});
        return 0;
    }
    if (argc != 1) {
        std::cerr << "usage: " << argv[0] << " [save N]\n";
        return 2;
    }
    std::cout << ExecutableDirectory().value_or("-") << '\n'
              << gSettings.dictionaryPath.Bytes() << '\n'
              << gSettings.insertRatio << '\n';
    return 0;
}
