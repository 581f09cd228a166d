// The program started through a symbolic link, as the installed launchers in PREFIX/bin
// start it: the settings file and the default dictionary are those beside the real
// executable, never those beside the link or in the current directory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "TestFiles.h"

namespace quillery {
namespace {

namespace fs = std::filesystem;
using namespace testing;

// An installed layout: the real executable in lib/quillery-mini with the dictionary beside
// it, the launcher in bin, and decoys where a wrong lookup would find them (beside the
// link and in the current directory).
class ModulePathSymlink : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* folder : {"lib", "lib/quillery-mini", "bin", "links", "work"}) {
            fs::create_directory(root_ + "/" + folder);
        }
        fs::copy_file(QUILLERY_MODULE_PATH_PROBE, real_ + "QuilleryMini");
        WriteBytes(real_ + "velmo.dat", "word\r\n");
        for (const char* decoy : {"/bin/", "/work/"}) {
            WriteBytes(root_ + decoy + "velmo.dat", "decoy\r\n");
            WriteBytes(root_ + decoy + "QuilleryMini.ini", "[Settings]\r\nRatio=9\r\n");
        }
        // The form the install gives the launcher.
        fs::create_symlink("../lib/quillery-mini/QuilleryMini", launcher_);
    }

    // Runs `program` (a path that may be a link) from the folder `cwd`; what it printed.
    std::string RunProbe(const std::string& program, const std::string& cwd,
                         const std::string& args = "") const {
        const std::string out = root_ + "/probe.out";
        const std::string command =
            "cd '" + cwd + "' && '" + program + "' " + args + " >'" + out + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return ReadBytes(out);
    }

    TempDir temp_;
    const std::string root_ = fs::canonical(temp_.Path()).string();
    const std::string real_ = root_ + "/lib/quillery-mini/";
    const std::string launcher_ = root_ + "/bin/QuilleryMini";
    const std::string work_ = root_ + "/work";
};

TEST_F(ModulePathSymlink, EveryKindOfLinkFindsTheFilesBesideTheRealExecutable) {
    fs::create_symlink(real_ + "QuilleryMini", root_ + "/links/absolute");
    fs::create_symlink("../bin/QuilleryMini", root_ + "/links/chained");
    // A launcher folder that is itself a link (~/.local/bin linked elsewhere).
    fs::create_directory_symlink(root_ + "/bin", root_ + "/links/bin");
    // Neither decoy settings file is read: the ratio is the default.
    for (const char* link :
         {"/bin/QuilleryMini", "/links/absolute", "/links/chained", "/links/bin/QuilleryMini"}) {
        EXPECT_EQ(RunProbe(root_ + link, work_), real_ + "\n" + real_ + "velmo.dat\n4\n") << link;
    }
    fs::remove(real_ + "velmo.dat");
    EXPECT_EQ(RunProbe(launcher_, work_), real_ + "\n\n4\n");
}

TEST_F(ModulePathSymlink, SettingsSavedThroughTheLauncherPersistBesideTheRealExecutable) {
    EXPECT_EQ(RunProbe(launcher_, work_, "7"), real_ + "\n" + real_ + "velmo.dat\n7\n");
    // The decoys are untouched.
    EXPECT_EQ(ReadBytes(root_ + "/bin/QuilleryMini.ini"), "[Settings]\r\nRatio=9\r\n");
    EXPECT_EQ(ReadBytes(work_ + "/QuilleryMini.ini"), "[Settings]\r\nRatio=9\r\n");
    // The next start, from another directory, reads them back.
    EXPECT_EQ(RunProbe(launcher_, root_), real_ + "\n" + real_ + "velmo.dat\n7\n");
}

}  // namespace
}  // namespace quillery
