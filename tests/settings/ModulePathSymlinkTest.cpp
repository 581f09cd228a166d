// The program started through a symbolic link, as the installed launchers in PREFIX/bin
// start it: the settings file and the default dictionary are those beside the real
// executable, never those beside the link or in the current directory.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "TestFiles.h"

namespace quillery {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

struct ProbeResult {
    int exitCode = -1;
    std::string folder;
    std::string dictionary;
    std::string ratio;
};

// Runs `program` (a path that may be a link) with `args` in the folder `cwd`.
ProbeResult RunProbe(const std::string& program, const std::string& cwd,
                     std::vector<std::string> args = {}) {
    const std::string out = cwd + "/.probe-out";
    std::vector<std::string> argvStrings{program};
    argvStrings.insert(argvStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argvStrings) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0 || chdir(cwd.c_str()) != 0 || dup2(fd, 1) < 0) {
            _exit(126);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    ProbeResult result;
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) {
        ADD_FAILURE() << "cannot run " << program;
        return result;
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::istringstream lines(ReadBytes(out));
    std::getline(lines, result.folder);
    std::getline(lines, result.dictionary);
    std::getline(lines, result.ratio);
    fs::remove(out);
    return result;
}

// An installed layout in a temporary folder: the real executable in lib/quillery-mini
// with the dictionary beside it, launchers in bin, and decoys where a wrong lookup would
// find them (beside the link and in the current directory).
class ModulePathSymlink : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::canonical(temp_.Path()).string();
        for (const char* folder : {"lib", "lib/quillery-mini", "bin", "links", "work"}) {
            fs::create_directory(root_ + "/" + folder);
        }
        program_ = root_ + "/lib/quillery-mini/QuilleryMini";
        fs::copy_file(QUILLERY_MODULE_PATH_PROBE, program_);
        fs::permissions(program_, fs::perms::owner_all);
        WriteBytes(root_ + "/lib/quillery-mini/velmo.dat", "word\r\n");
        for (const char* decoy : {"/bin/", "/work/"}) {
            WriteBytes(root_ + decoy + "velmo.dat", "decoy\r\n");
            WriteBytes(root_ + decoy + "QuilleryMini.ini", "[Settings]\r\nRatio=9\r\n");
        }
        // The form the install gives the launcher.
        fs::create_symlink("../lib/quillery-mini/QuilleryMini", root_ + "/bin/QuilleryMini");
    }

    std::string RealFolder() const { return root_ + "/lib/quillery-mini/"; }
    std::string Work() const { return root_ + "/work"; }

    TempDir temp_;
    std::string root_;
    std::string program_;
};

TEST_F(ModulePathSymlink, RelativeLauncherFindsTheFilesBesideTheRealExecutable) {
    const ProbeResult result = RunProbe(root_ + "/bin/QuilleryMini", Work());
    ASSERT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.folder, RealFolder());
    EXPECT_EQ(result.dictionary, RealFolder() + "velmo.dat");
    // Neither decoy settings file was read.
    EXPECT_EQ(result.ratio, "4");
}

TEST_F(ModulePathSymlink, AbsoluteLinksAndChainsOfLinksResolveAlike) {
    fs::create_symlink(program_, root_ + "/links/absolute");
    fs::create_symlink("../bin/QuilleryMini", root_ + "/links/chained");
    for (const char* link : {"/links/absolute", "/links/chained"}) {
        SCOPED_TRACE(link);
        const ProbeResult result = RunProbe(root_ + link, Work());
        ASSERT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.folder, RealFolder());
        EXPECT_EQ(result.dictionary, RealFolder() + "velmo.dat");
    }
}

TEST_F(ModulePathSymlink, LinkedFolderOnThePathResolvesToo) {
    // A launcher folder that is itself a link (~/.local/bin linked elsewhere).
    fs::create_directory_symlink(root_ + "/bin", root_ + "/links/bin");
    const ProbeResult result = RunProbe(root_ + "/links/bin/QuilleryMini", Work());
    ASSERT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.dictionary, RealFolder() + "velmo.dat");
}

TEST_F(ModulePathSymlink, NoDictionaryBesideTheRealExecutableMeansNone) {
    fs::remove(RealFolder() + "velmo.dat");
    const ProbeResult result = RunProbe(root_ + "/bin/QuilleryMini", Work());
    ASSERT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.folder, RealFolder());
    EXPECT_EQ(result.dictionary, "");
}

TEST_F(ModulePathSymlink, SettingsSavedThroughTheLauncherPersistBesideTheRealExecutable) {
    ASSERT_EQ(RunProbe(root_ + "/bin/QuilleryMini", Work(), {"save", "7"}).exitCode, 0);

    const std::string saved = ReadBytes(RealFolder() + "QuilleryMini.ini");
    EXPECT_NE(saved.find("Ratio=7\r\n"), std::string::npos) << saved;
    // The launcher is still a link, and the decoys are untouched.
    EXPECT_TRUE(fs::is_symlink(root_ + "/bin/QuilleryMini"));
    EXPECT_EQ(ReadBytes(root_ + "/bin/QuilleryMini.ini"), "[Settings]\r\nRatio=9\r\n");
    EXPECT_EQ(ReadBytes(Work() + "/QuilleryMini.ini"), "[Settings]\r\nRatio=9\r\n");

    // The next start, from another directory, reads them back.
    const ProbeResult next = RunProbe(root_ + "/bin/QuilleryMini", root_);
    ASSERT_EQ(next.exitCode, 0);
    EXPECT_EQ(next.ratio, "7");
    EXPECT_EQ(next.dictionary, RealFolder() + "velmo.dat");
}

}  // namespace
}  // namespace quillery
