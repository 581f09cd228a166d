#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "files/Paths.h"

namespace quillery {

// The folder of the running executable, ending with a separator, whatever the current
// directory is; found by the platform's own means (/proc/self/exe on Linux,
// GetModuleFileNameW on Windows, _NSGetExecutablePath on macOS). Nothing when it cannot
// be found or cannot be written within kPathCapacity.
std::optional<std::string> ExecutableDirectory();

// The path of the file `name` beside the running executable: `name` joined to
// ExecutableDirectory() (see JoinPath). Nothing when that folder is unknown or the path
// would be too long.
std::optional<std::string> ModulePath(std::string_view name);

// The file the install step (cmake --install, the package) puts beside the executable.
// Its folder then belongs to the installation, whoever runs the program, root included:
// nothing is written there at run time, and settings are kept per user. A copy that was
// unpacked or built has none and keeps its settings beside itself.
inline constexpr std::string_view kInstalledMarkerName = "QuilleryMini.installed";

// Whether `programFolder` holds kInstalledMarkerName. Anything of that name counts, also
// what cannot be examined: a folder that may be an installation's is left alone.
bool IsInstalledCopy(const std::string& programFolder);

// The per-user folder for the settings file, ending with a separator: on Linux and other
// Unix systems $XDG_CONFIG_HOME/QuilleryMini/ (when it is an absolute path), else
// ~/.config/QuilleryMini/ (the home folder from $HOME, else from the user database); on
// macOS ~/Library/Application Support/QuilleryMini/; on Windows the roaming application
// data folder's QuilleryMini\ (%APPDATA%\QuilleryMini\). Nothing when there is no such
// place. The folder may not exist yet.
std::optional<std::string> UserSettingsDirectory();

}  // namespace quillery
