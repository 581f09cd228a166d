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

// `name` joined to `directory` with one separator. Nothing when there is no directory or
// when the result, with its terminator, would not fit kPathCapacity: a path that
// long could not be opened, and a cut one would name another file. With no path there is
// no settings file to read or write and no default dictionary.
std::optional<std::string> ModulePathIn(const std::optional<std::string>& directory,
                                        std::string_view name);

// The per-user folder for the settings file, ending with a separator: on Linux and other
// Unix systems $XDG_CONFIG_HOME/QuilleryMini/ (when it is an absolute path), else
// ~/.config/QuilleryMini/ (the home folder from $HOME, else from the user database); on
// macOS ~/Library/Application Support/QuilleryMini/; on Windows the roaming application
// data folder's QuilleryMini\ (%APPDATA%\QuilleryMini\). Nothing when there is no such
// place. The folder may not exist yet.
std::optional<std::string> UserSettingsDirectory();

}  // namespace quillery
