#include "settings/ModulePath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TestFiles.h"
#include "settings/Settings.h"

namespace quillery {
namespace {

using testing::ScopedCurrentDirectory;
using testing::TempDir;

TEST(ModulePath, IsTheFolderOfTheRunningExecutable) {
    const std::optional<std::string> directory = ExecutableDirectory();
    ASSERT_TRUE(directory);
    EXPECT_EQ(directory->back(), '/');
    EXPECT_TRUE(std::filesystem::equivalent(*directory, QUILLERY_TEST_EXECUTABLE_DIR));
    EXPECT_EQ(ModulePath(kSettingsFileName), *directory + kSettingsFileName);
}

TEST(ModulePath, DoesNotDependOnTheCurrentDirectory) {
    const std::optional<std::string> before = ExecutableDirectory();
    TempDir elsewhere;
    ScopedCurrentDirectory change(elsewhere.Path());
    EXPECT_EQ(ExecutableDirectory(), before);
    EXPECT_EQ(ModulePath("velmo.dat"), *before + "velmo.dat");
}

TEST(ModulePath, JoinsWithOneSeparator) {
    EXPECT_EQ(ModulePathIn("/opt/app/", "a.ini"), std::optional<std::string>("/opt/app/a.ini"));
    EXPECT_EQ(ModulePathIn("/opt/app", "a.ini"), std::optional<std::string>("/opt/app/a.ini"));
    EXPECT_EQ(ModulePathIn("/", "a.ini"), std::optional<std::string>("/a.ini"));
    // The name is taken as it is: no extension added or removed.
    EXPECT_EQ(ModulePathIn("/opt/", "velmo"), std::optional<std::string>("/opt/velmo"));
}

TEST(ModulePath, GivesNoPathWithoutAFolder) {
    EXPECT_EQ(ModulePathIn(std::nullopt, "a.ini"), std::nullopt);
    EXPECT_EQ(ModulePathIn(std::string(), "a.ini"), std::nullopt);
}

TEST(ModulePath, GivesNoPathWhenTheResultWouldNotFit) {
    const std::string name = "QuilleryMini.ini";
    // Folder, separator and name take all but the terminator's byte.
    const std::string fits = "/" + std::string(kModulePathCapacity - 3 - name.size(), 'd');
    const auto longest = ModulePathIn(fits, name);
    ASSERT_TRUE(longest);
    EXPECT_EQ(longest->size(), kModulePathCapacity - 1);
    EXPECT_EQ(ModulePathIn(fits + "d", name), std::nullopt);
    EXPECT_EQ(ModulePathIn(fits + "/", name + "x"), std::nullopt);
}

TEST(ModulePath, WithNoPathNothingIsReadOrWritten) {
    Settings settings;
    settings.dictionaryPath.Assign("old");
    settings.insertRatio = 9;
    const std::string tooLong = "/" + std::string(kModulePathCapacity, 'd');
    LoadSettingsFrom(tooLong, settings);
    EXPECT_TRUE(settings.dictionaryPath.Empty());
    EXPECT_EQ(settings.insertRatio, 4);
    EXPECT_EQ(settings.windowRatio, 3);
    EXPECT_FALSE(SaveSettingsTo(tooLong, settings, WindowState{}));
    EXPECT_FALSE(SaveSettingsTo(std::nullopt, settings, WindowState{}));
}

}  // namespace
}  // namespace quillery
