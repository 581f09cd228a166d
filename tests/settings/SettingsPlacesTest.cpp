// Where the settings are read and written, read-only files, and writes stopped part-way:
// through the program's settings code in a helper process (settings_save_probe) placed as
// the program is installed, and, for the permission cases, run as an ordinary user.
#include <chrono>
#include <cstdlib>

#include "tests/settings/SettingsTestSupport.h"

#ifndef _WIN32
#include <pwd.h>
#include <sys/stat.h>
#endif

namespace quillery {
namespace {

using namespace settings_test;

#ifdef _WIN32
const std::string kProgram = "QuilleryMini.exe";
#else
const std::string kProgram = "QuilleryMini";
#endif

// A temporary folder every user may enter.
struct Scratch : TempDir {
    Scratch() { fs::permissions(path(), fs::perms(0755)); }
    const std::string dir = Name();
};

// The probe copied into `folder` as the program; its path.
std::string PlaceProbe(const std::string& folder) {
    fs::create_directories(PathFromUtf8(folder));
    fs::copy_file(QUILLERY_SAVE_PROBE, PathFromUtf8(folder) / kProgram);
    return Utf8Path(PathFromUtf8(folder) / kProgram);
}

// What `command` (a program's path and its arguments) printed, run in `cwd`; its exit code
// must be `code`.
std::string Printed(const std::vector<std::string>& command, const std::string& cwd, int code = 0) {
    const TempDir streams;
    const std::string in = streams.Write("in", ""), out = streams.File("out");
    EXPECT_EQ(
        RunProgram(PathFromUtf8(command[0]), {command.begin() + 1, command.end()},
                   PathFromUtf8(cwd), PathFromUtf8(in), PathFromUtf8(out), streams.path() / "err"),
        code)
        << command[0];
    return ReadBytes(out);
}

// What a save by the probe writes into a new file.
std::string SavedFile(int ratio, const std::string& data) {
    return "[Settings]\r\nData=" + data + "\r\nRatio=" + std::to_string(ratio) +
           "\r\n[Window]\r\nWindowRatio=3\r\nBlackBackgrownd=0\r\nEditReadOnly=0\r\n"
           "XPos=10\r\nYPos=20\r\nWidth=320\r\nHeight=240\r\n[Debug]\r\nInsertMark=0\r\n"
           "UseRandom=0\r\nRandomSeed=0\r\nNewestRandomSeed=0\r\n";
}

// A file beside the program that another user owns gives way to the user's own file
// (under it, as defaults), and so does any file beside an installed copy, even one this
// user may write; one made read-only is read alone, nothing written, installed or not.
TEST(SettingsPlaces, TheFileBesideTheProgramUnlessItCannotBeWritten) {
    const std::string beside = "/opt/q/QuilleryMini.ini", user = "/home/u/QuilleryMini.ini";
    const SettingsFiles users{{beside, user}, user, true};
    EXPECT_EQ(ChooseSettingsFiles({beside, FileAccess::kNotOurs, true, false, user}), users);
    EXPECT_EQ(ChooseSettingsFiles({beside, FileAccess::kWritable, true, true, user}), users);
    EXPECT_EQ(ChooseSettingsFiles({beside, FileAccess::kMissing, true, true, user}), users);
    for (const bool installed : {false, true}) {
        EXPECT_EQ(ChooseSettingsFiles({beside, FileAccess::kReadOnly, true, installed, user}),
                  (SettingsFiles{{beside}, std::nullopt, false}));
    }
}

// Started from a folder of decoys, the program finds its settings and default dictionary
// beside the real executable: on Windows in a folder with a Japanese name, elsewhere
// through every kind of link, as the installed launcher in PREFIX/bin starts it.
TEST(SettingsPlaces, TheFilesBesideTheRealExecutableWhereverItIsStartedFrom) {
    const TempDir temp;
#ifdef _WIN32
    const std::string root = temp.Name() + "\\";
    const std::string real = root + "プログラム\\";
    const std::vector<std::string> starts = {real + "QuilleryMini.exe"};
#else
    const std::string root = fs::canonical(temp.path()).string() + "/";
    const std::string real = root + "lib/quillery-mini/";
    const std::vector<std::string> starts = {root + "bin/QuilleryMini",
                                             root + "links/bin/QuilleryMini"};
#endif
    const std::string work = root + "work" + kSep;
    const std::string decoy = "[Settings]\r\nRatio=9\r\n";
    PlaceProbe(real);
    for (const std::string& folder : {work, root + "bin" + kSep}) {
        fs::create_directories(PathFromUtf8(folder));
        WriteBytes(folder + "velmo.dat", "decoy\r\n");
        WriteBytes(folder + kIni, decoy);
    }
#ifndef _WIN32
    fs::create_directory(root + "links");
    fs::create_symlink("../lib/quillery-mini/QuilleryMini", starts[0]);  // as installed
    // A launcher folder that is itself a link (~/.local/bin linked elsewhere).
    fs::create_directory_symlink(root + "bin", root + "links/bin");
#endif
    WriteBytes(real + "velmo.dat", "word\r\n");
    // The dictionary path is held in code page 932.
    const std::string velmo = FileSystemNameToCp932(real + "velmo.dat").value_or("?") + "\n";
    for (const std::string& start : starts) {
        EXPECT_EQ(Printed({start}, work), "4\n" + velmo) << start;
    }
    EXPECT_EQ(Printed({starts[0], "--ratio", "7"}, work), "7\n" + velmo);
    EXPECT_EQ(ReadBytes(work + kIni), decoy);
}

TEST(SettingsPlaces, TheUsersFileWhenNothingCanBeWrittenBesideTheProgram) {
    // A folder where the settings file belongs stops even root: the per-user folder is
    // made and takes the settings; the default dictionary stays the one beside the program.
    const Scratch scratch;
    const std::string program = scratch.dir + "/program";
    const std::string user = scratch.dir + "/home/.config/QuilleryMini";
    fs::create_directories(PathFromUtf8(program + "/" + kIni));
    WriteBytes(program + "/velmo.dat", "word\r\n");
    const SettingsPlaces places{program, user};
    Settings settings;
    LoadSettingsFrom(places, settings);
    settings.insertRatio = 8;
    ASSERT_TRUE(SaveSettingsTo(places, settings, WindowState{false, false, 10, 20, 330, 260}));
    EXPECT_EQ(ReadBytes(user + "/" + kIni),
              SavedFile(8, JoinPath(program, "velmo.dat").value_or("")));
    EXPECT_EQ(NamesIn(program), (Names{kIni, "velmo.dat"}));
}

// The install step's marker beside the program: nothing is written into its folder,
// though this process could (root can write anything, and an installed copy is root's):
// the settings go to the user's own file, over an administrator's defaults beside the
// program, which stay as they are. The same folder without the marker is a copy of the
// user's own and takes the settings beside the program again.
TEST(SettingsPlaces, AnInstalledCopyIsNeverWrittenIntoEvenWhereItCould) {
    const Scratch scratch;
    const std::string program = scratch.dir + kSep + "program";
    const std::string user = scratch.dir + kSep + "user";
    fs::create_directory(PathFromUtf8(program));
    WriteBytes(program + kSep + "velmo.dat", "word\r\n");
    const std::string marker = program + kSep + std::string(kInstalledMarkerName);
    WriteBytes(marker, "");
    const std::string velmo = JoinPath(program, "velmo.dat").value_or("");
    const SettingsPlaces places{program, user};
    const WindowState window{false, false, 10, 20, 330, 260};
    const std::string defaults = "[Settings]\r\nRatio=2\r\n[Debug]\r\nInsertMark=1\r\n";
    WriteBytes(program + kSep + kIni, defaults);

    Settings settings;
    LoadSettingsFrom(places, settings);
    EXPECT_EQ(settings.insertRatio, 2);
    EXPECT_EQ(settings.insertMark, 1);
    settings.insertRatio = 8;
    ASSERT_TRUE(SaveSettingsTo(places, settings, window));
    std::string saved = SavedFile(8, velmo);
    saved.replace(saved.find("InsertMark=0"), 12, "InsertMark=1");
    EXPECT_EQ(ReadBytes(user + kSep + kIni), saved);
    EXPECT_EQ(ReadBytes(program + kSep + kIni), defaults);

    // No file beside it, in a folder that can be written: still none made there.
    fs::remove(PathFromUtf8(program + kSep + kIni));
    Settings reloaded;
    LoadSettingsFrom(places, reloaded);
    EXPECT_EQ(reloaded.insertRatio, 8);
    EXPECT_EQ(reloaded.insertMark, 1);  // kept in the user's own file
    reloaded.insertRatio = 6;
    ASSERT_TRUE(SaveSettingsTo(places, reloaded, window));
    EXPECT_EQ(ReadBytes(user + kSep + kIni).find("Ratio=8"), std::string::npos);
    EXPECT_EQ(NamesIn(program), (Names{std::string(kInstalledMarkerName), "velmo.dat"}));

    fs::remove(PathFromUtf8(marker));
    reloaded.insertRatio = 5;
    ASSERT_TRUE(SaveSettingsTo(places, reloaded, window));
    EXPECT_NE(ReadBytes(program + kSep + kIni).find("Ratio=5"), std::string::npos);
    EXPECT_NE(ReadBytes(user + kSep + kIni).find("Ratio=6"), std::string::npos);
}

#ifndef _WIN32
TEST(SettingsPlaces, TheUsersFolderFollowsXdgConfigHomeThenHome) {
    const char* const saved[] = {std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")};
    const std::string keep[] = {saved[0] ? saved[0] : "", saved[1] ? saved[1] : ""};
    setenv("HOME", "/h", 1);
    for (const auto& [xdg, folder] : {std::pair{"/x/cfg", "/x/cfg/QuilleryMini/"},
                                      std::pair{"relative/cfg", "/h/.config/QuilleryMini/"}}) {
        setenv("XDG_CONFIG_HOME", xdg, 1);
        EXPECT_EQ(UserSettingsDirectory(), folder) << xdg;
    }
    saved[0] ? setenv("XDG_CONFIG_HOME", keep[0].c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
    saved[1] ? setenv("HOME", keep[1].c_str(), 1) : unsetenv("HOME");
}
#endif

// The next save removes what killed writes of the settings file left; nothing else, not
// even another file's leftover of the same form.
TEST(SettingsWrites, RemoveTheirOwnLeftoversOnly) {
    const Scratch scratch;
    Names expected = {".other.ini.tmp-1-2-3", "QuilleryMini.ini.tmp-1-2-3", ".QuilleryMini.ini~"};
    for (const std::string& name : expected) {
        scratch.Write(name, "x");
    }
    // No process runs under the number 7ffffffe (above any pid_max).
    scratch.Write(".QuilleryMini.ini.tmp-7ffffffe-2b-3", "[Settings]\r\nRatio=");
    expected.insert(kIni);
#ifndef _WIN32
    // One whose writer still runs (process 1 always does) may be another instance's save
    // under way, unless it is older than any save takes.
    for (const char* name : {".QuilleryMini.ini.tmp-1-2-3", ".QuilleryMini.ini.tmp-1-4-5"}) {
        scratch.Write(name, "[Settings]\r\n");
    }
    fs::last_write_time(scratch.path() / ".QuilleryMini.ini.tmp-1-4-5",
                        fs::file_time_type::clock::now() - std::chrono::hours(1));
    expected.insert(".QuilleryMini.ini.tmp-1-2-3");
#endif
    ASSERT_TRUE(SaveSettingsTo(SettingsPlaces{scratch.dir}, Settings(), WindowState{}));
    EXPECT_EQ(NamesIn(scratch.dir), expected);
}

// A save stopped at each step of its write (the process ends there, as when killed): the
// old file stays whole until the new one takes its place whole, and the next save leaves
// only the settings file, whether the write went through an unnamed or a named temporary.
TEST(SettingsWrites, AStoppedSaveLeavesTheOldFileAndNothingAfterTheNextSave) {
    const std::string old = "; kept by hand\r\n[Settings]\r\nratio = 9\r\n";
    const std::string saved = SavedFile(7, "");
    const std::string replaced = "; kept by hand\r\n[Settings]\r\nratio = 7\r\nData=\r\n" +
                                 saved.substr(saved.find("[Window]"));
    for (const bool named : {false, true}) {
        for (int step = 0; step <= static_cast<int>(WriteStep::kReplaced); ++step) {
            SCOPED_TRACE(std::to_string(step) + (named ? " named" : ""));
            const Scratch scratch;
            const std::string program = scratch.dir + "/program";
            const std::string probe = PlaceProbe(program);
            WriteBytes(program + "/" + kIni, old);
            std::vector<std::string> stop = {probe, "--ratio", "7", "--stop-at",
                                             std::to_string(step)};
            if (named) {
                stop.push_back("--named");
            }
            EXPECT_EQ(Printed(stop, scratch.dir, 3), "");
            EXPECT_EQ(ReadBytes(program + "/" + kIni),
                      step == static_cast<int>(WriteStep::kReplaced) ? replaced : old);
            EXPECT_LE(NamesIn(program).size(), 3u);
            EXPECT_EQ(Printed({probe, "--ratio", "5"}, scratch.dir), "5\n\n");
            EXPECT_EQ(NamesIn(program), (Names{kProgram, kIni}));
        }
    }
}

#ifndef _WIN32
// Where an unnamed temporary file cannot be given a name (no /proc, no privilege to link
// a descriptor), a named one takes its place, for a new file and over an old one.
TEST(SettingsWrites, AnUnnamedFileThatCannotBeNamedGivesWayToANamedOne) {
    const Scratch scratch;
    file_io_testing::SetUnnamedFilesUnlinkable(true);
    for (const std::string bytes : {"[Settings]\r\nRatio=1\r\n", "[Settings]\r\nRatio=2\r\n"}) {
        EXPECT_EQ(ReplaceWritableFileAtomically(scratch.File(kIni), bytes), std::error_code());
        EXPECT_EQ(ReadBytes(scratch.File(kIni)), bytes);
        EXPECT_EQ(NamesIn(scratch.dir), (Names{kIni}));
    }
    file_io_testing::SetUnnamedFilesUnlinkable(false);
}

// The permission cases as an ordinary user (nobody), since root may write anything: the
// program installed under a prefix owned by root, and in a folder of the user's own.
class AsOrdinaryUser : public ::testing::Test {
  protected:
    void SetUp() override {
        PlaceProbe(installed_);
        WriteBytes(installed_ + "/velmo.dat", "word\r\n");
        for (const char* folder : {"/prefix", "/prefix/lib", "/prefix/lib/quillery-mini"}) {
            fs::permissions(scratch_.dir + folder, fs::perms(0755));
        }
        fs::create_directory(home_);
        GiveToUser(home_);
    }

    // Files and folders the user owns (when the tests run as root, nobody's).
    static void GiveToUser(const std::string& path) {
        if (geteuid() == 0) {
            const passwd* user = getpwnam("nobody");
            ASSERT_NE(user, nullptr);
            ASSERT_EQ(lchown(path.c_str(), user->pw_uid, user->pw_gid), 0) << path;
        }
    }

    // The probe in `folder` as the user, with HOME their folder and no XDG_CONFIG_HOME.
    std::string RunAsUser(const std::string& folder, std::vector<std::string> args) const {
        std::vector<std::string> command = {"/usr/bin/env", "-u", "XDG_CONFIG_HOME",
                                            "HOME=" + home_, folder + "/" + kProgram};
        if (geteuid() == 0) {
            command.insert(command.begin(), {"/usr/bin/setpriv", "--reuid=nobody",
                                             "--regid=nogroup", "--clear-groups"});
        }
        command.insert(command.end(), args.begin(), args.end());
        return Printed(command, "/");
    }

    const Scratch scratch_;
    const std::string installed_ = scratch_.dir + "/prefix/lib/quillery-mini";
    const std::string home_ = scratch_.dir + "/home";
};

TEST_F(AsOrdinaryUser, TheirSettingsGoWhereTheyMayWriteAndAFileTheyMadeReadOnlyIsKept) {
    // Under the administrator's defaults beside the program, in the user's folder; two
    // runs: the choice of the first is there in the second.
    const std::string defaults = "[Settings]\r\nRatio=2\r\n[Debug]\r\nInsertMark=1\r\n";
    WriteBytes(installed_ + "/" + kIni, defaults);
    const std::string velmo = installed_ + "/velmo.dat";
    EXPECT_EQ(RunAsUser(installed_, {}), "2\n" + velmo + "\n");
    EXPECT_EQ(RunAsUser(installed_, {"--ratio", "7"}), "7\n" + velmo + "\n");
    EXPECT_EQ(RunAsUser(installed_, {}), "7\n" + velmo + "\n");
    std::string user = SavedFile(7, velmo);
    user.replace(user.find("InsertMark=0"), 12, "InsertMark=1");
    EXPECT_EQ(ReadBytes(home_ + "/.config/QuilleryMini/" + kIni), user);
    EXPECT_EQ(fs::status(home_ + "/.config/QuilleryMini").permissions(), fs::perms(0700));
    EXPECT_EQ(ReadBytes(installed_ + "/" + kIni), defaults);
    EXPECT_EQ(NamesIn(installed_), (Names{kProgram, kIni, "velmo.dat"}));

    // In a folder of their own, beside the program, until they make the file read-only.
    const std::string own = home_ + "/app";
    PlaceProbe(own);
    GiveToUser(own);
    EXPECT_EQ(RunAsUser(own, {"--ratio", "6"}), "6\n\n");
    fs::permissions(own + "/" + kIni, fs::perms(0444));
    EXPECT_EQ(RunAsUser(own, {"--ratio", "8"}), "8\n\n");
    EXPECT_EQ(ReadBytes(own + "/" + kIni), SavedFile(6, ""));
    EXPECT_EQ(fs::status(own + "/" + kIni).permissions(), fs::perms(0444));
    EXPECT_EQ(NamesIn(own), (Names{kProgram, kIni}));
    EXPECT_EQ(ReadBytes(home_ + "/.config/QuilleryMini/" + kIni), user);  // nor written there
}

// Installed where they cannot write, with no settings file beside the program: their own
// file takes the settings, and the next start has them back.
TEST_F(AsOrdinaryUser, WithNoFileBesideAProgramTheyCannotWriteTheirOwnFileTakesIt) {
    const std::string velmo = installed_ + "/velmo.dat";
    EXPECT_EQ(RunAsUser(installed_, {"--ratio", "7"}), "7\n" + velmo + "\n");
    EXPECT_EQ(RunAsUser(installed_, {}), "7\n" + velmo + "\n");
    EXPECT_EQ(ReadBytes(home_ + "/.config/QuilleryMini/" + kIni), SavedFile(7, velmo));
    EXPECT_EQ(NamesIn(installed_), (Names{kProgram, "velmo.dat"}));
}
#endif

}  // namespace
}  // namespace quillery
