#pragma once

// What the settings tests share: the code under test, the platform helpers, a few names.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "files/FileIo.h"
#include "files/FileIoTesting.h"
#include "settings/ExecutableFolder.h"
#include "settings/FileNames.h"
#include "settings/Settings.h"
#include "tests/support/Portable.h"

namespace quillery::settings_test {

namespace fs = std::filesystem;
using namespace test;
using Names = std::set<std::string>;

inline const std::string kIni = "QuilleryMini.ini";
inline const std::string kSep(1, kPathSeparator);

}  // namespace quillery::settings_test
