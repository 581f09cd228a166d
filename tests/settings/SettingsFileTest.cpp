#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>

#include "TestFiles.h"
#include "settings/ModulePath.h"
#include "settings/Settings.h"

namespace quillery {
namespace {

using testing::Entries;
using testing::Permissions;
using testing::ReadBytes;
using testing::ScopedCurrentDirectory;
using testing::TempDir;
using testing::WriteBytes;

const std::string kHyo = "\x95\x5C";  // 表

// Every persistent field with a value of its own, to see each reach its key.
Settings DistinctSettings() {
    Settings s;
    s.dictionaryPath.Assign("C:\\" + kHyo + "\\w.txt");
    s.insertRatio = 7;
    s.windowRatio = 2;
    s.blackBackground = 1;
    s.editReadOnly = 1;
    s.windowX = 111;  // not written: the live rectangle is
    s.windowY = 112;
    s.windowWidth = 113;
    s.windowHeight = 114;
    s.insertMark = 1;
    s.useFixedSeed = 1;
    s.randomSeed = 4294967295u;
    s.newestRandomSeed = 1700000000;
    s.debugRun = 1;
    return s;
}

constexpr WindowState kNormal{false, false, 10, 20, 310, 220};
constexpr WindowState kMinimized{true, false, -32000, -32000, -31840, -31970};
constexpr WindowState kMaximized{false, true, -8, -8, 1288, 1008};

const std::string kSettingsPart = "[Settings]\r\nData=C:\\" + kHyo + "\\w.txt\r\nRatio=7\r\n";
const std::string kWindowPart =
    "[Window]\r\nWindowRatio=2\r\nBlackBackgrownd=1\r\nEditReadOnly=1\r\n";
const std::string kRectanglePart = "XPos=10\r\nYPos=20\r\nWidth=300\r\nHeight=200\r\n";
const std::string kDebugPart =
    "[Debug]\r\nInsertMark=1\r\nUseRandom=1\r\nRandomSeed=-1\r\nNewestRandomSeed=1700000000\r\n";

class SettingsFile : public ::testing::Test {
  protected:
    std::string IniPath() const { return dir_.File(kSettingsFileName); }
    std::string DictionaryPathBeside() const { return dir_.File(kDefaultDictionaryName); }

    void WriteIni(const std::string& bytes) const { WriteBytes(IniPath(), bytes); }

    Settings Load() const {
        Settings settings;
        LoadSettingsFrom(dir_.Path(), settings);
        return settings;
    }
    Settings LoadFrom(const std::string& ini) const {
        WriteIni(ini);
        return Load();
    }
    bool Save(const Settings& settings, const WindowState& window = kNormal) const {
        return SaveSettingsTo(dir_.Path(), settings, window);
    }

    TempDir dir_;
};

TEST_F(SettingsFile, DefaultsWithoutAFile) {
    Settings settings = DistinctSettings();
    LoadSettingsFrom(dir_.Path(), settings);
    Settings expected;
    expected.insertRatio = 4;
    expected.windowRatio = 3;
    expected.debugRun = 1;  // not a setting: left alone
    EXPECT_EQ(settings, expected);
}

TEST_F(SettingsFile, DefaultsForMissingKeysAndSections) {
    const Settings settings = LoadFrom("[Settings]\r\nRatio=6\r\n[Other]\r\nWidth=5\r\n");
    Settings expected;
    expected.insertRatio = 6;
    expected.windowRatio = 3;
    EXPECT_EQ(settings, expected);
}

TEST_F(SettingsFile, ASettingsPathThatIsAFolderGivesTheDefaults) {
    std::filesystem::create_directory(IniPath());
    EXPECT_EQ(Load().insertRatio, 4);
}

TEST_F(SettingsFile, ValuesAreTakenAsTheyAre) {
    const Settings settings = LoadFrom(
        "[settings]\nratio = abc\n[WINDOW]\nWindowRatio= 17 \nBlackBackgrownd=-1\n"
        "EditReadOnly=12abc\nXPos=-5\nYPos=+7\nWidth=4294967296\nHeight=2147483648\n"
        "[debug]\nUseRandom=2\nInsertMark= 1\n");
    EXPECT_EQ(settings.insertRatio, 0);
    EXPECT_EQ(settings.windowRatio, 17);
    EXPECT_EQ(settings.blackBackground, -1);
    EXPECT_EQ(settings.editReadOnly, 12);
    EXPECT_EQ(settings.windowX, -5);
    EXPECT_EQ(settings.windowY, 7);
    EXPECT_EQ(settings.windowWidth, 0);
    EXPECT_EQ(settings.windowHeight, std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(settings.useFixedSeed, 2);
    EXPECT_EQ(settings.insertMark, 1);
}

TEST_F(SettingsFile, FlagsOtherThanZeroAndOneSurviveASave) {
    Settings settings = LoadFrom("[Window]\r\nBlackBackgrownd=-1\r\n[Debug]\r\nUseRandom=2\r\n");
    ASSERT_TRUE(Save(settings));
    const std::string text = ReadBytes(IniPath());
    EXPECT_NE(text.find("BlackBackgrownd=-1\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("UseRandom=2\r\n"), std::string::npos) << text;
    EXPECT_EQ(Load().blackBackground, -1);
    EXPECT_EQ(Load().useFixedSeed, 2);
}

TEST_F(SettingsFile, SeedsKeepTheir32Bits) {
    Settings settings;
    settings.randomSeed = 4294967295u;
    settings.newestRandomSeed = -5;
    ASSERT_TRUE(Save(settings));
    const std::string text = ReadBytes(IniPath());
    EXPECT_NE(text.find("RandomSeed=-1\r\n"), std::string::npos) << text;
    EXPECT_EQ(Load().randomSeed, 4294967295u);
    EXPECT_EQ(Load().newestRandomSeed, -5);

    EXPECT_EQ(LoadFrom("[Debug]\r\nRandomSeed=4294967295\r\n").randomSeed, 4294967295u);
    EXPECT_EQ(LoadFrom("[Debug]\r\nRandomSeed=3000000000\r\n").randomSeed, 3000000000u);
}

TEST_F(SettingsFile, DataIsCopiedUnchanged) {
    const std::string path = "D:\\" + kHyo + "\\=x.txt";
    EXPECT_EQ(LoadFrom("[Settings]\r\nData=" + path + "\r\n").dictionaryPath.Bytes(), path);
    // A file that does not exist is kept too, and the default is not looked for.
    WriteBytes(DictionaryPathBeside(), "word\r\n");
    EXPECT_EQ(LoadFrom("[Settings]\r\nData=/no/such.txt\r\n").dictionaryPath.Bytes(),
              "/no/such.txt");
}

TEST_F(SettingsFile, DefaultDictionaryBesideTheExecutable) {
    EXPECT_TRUE(Load().dictionaryPath.Empty());
    WriteBytes(DictionaryPathBeside(), "word\r\n");
    TempDir elsewhere;
    ScopedCurrentDirectory change(elsewhere.Path());
    EXPECT_EQ(Load().dictionaryPath.Bytes(), DictionaryPathBeside());
}

TEST_F(SettingsFile, AnEmptyDataValueIsLikeNone) {
    EXPECT_TRUE(LoadFrom("[Settings]\r\nData=\r\n").dictionaryPath.Empty());
    WriteBytes(DictionaryPathBeside(), "");
    EXPECT_EQ(LoadFrom("[Settings]\r\nData=   \r\n").dictionaryPath.Bytes(),
              DictionaryPathBeside());
}

TEST_F(SettingsFile, AFolderNamedLikeTheDefaultDictionaryDoesNotCount) {
    std::filesystem::create_directory(DictionaryPathBeside());
    EXPECT_TRUE(Load().dictionaryPath.Empty());
}

TEST_F(SettingsFile, TooLongADataValueCountsAsNoDictionary) {
    const std::string longest = "/" + std::string(DictionaryPath::kMaxBytes - 1, 'd');
    EXPECT_EQ(LoadFrom("[Settings]\r\nData=" + longest + "\r\n").dictionaryPath.Bytes(), longest);
    EXPECT_TRUE(LoadFrom("[Settings]\r\nData=" + longest + "d\r\n").dictionaryPath.Empty());
    WriteBytes(DictionaryPathBeside(), "");
    EXPECT_EQ(LoadFrom("[Settings]\r\nData=" + longest + "d\r\n").dictionaryPath.Bytes(),
              DictionaryPathBeside());
    EXPECT_EQ(
        LoadFrom("[Settings]\r\nData=" + std::string(700, 'x') + "\r\n").dictionaryPath.Bytes(),
        DictionaryPathBeside());
}

TEST_F(SettingsFile, DefaultDictionaryInAJapaneseFolderIsCodePage932) {
    const std::string folder = dir_.File("辞書");
    std::filesystem::create_directory(folder);
    WriteBytes(folder + "/velmo.dat", "");
    Settings settings;
    LoadSettingsFrom(folder, settings);
    // 辞書 is 0x8E 0xAB 0x8F 0x91.
    EXPECT_EQ(settings.dictionaryPath.Bytes(), dir_.Path() + "/\x8E\xAB\x8F\x91/velmo.dat");
}

TEST_F(SettingsFile, ADefaultDictionaryThatCannotBeHeldCountsAsNone) {
    // A folder name code page 932 has no characters for.
    const std::string emoji = dir_.File("😀");
    std::filesystem::create_directory(emoji);
    WriteBytes(emoji + "/velmo.dat", "");
    Settings settings;
    LoadSettingsFrom(emoji, settings);
    EXPECT_TRUE(settings.dictionaryPath.Empty());

    // Paths of exactly the most bytes the record holds and of one more.
    const std::size_t nameAndSeparators = std::string("/velmo.dat").size() + 1;
    const std::string longest = dir_.File(
        std::string(DictionaryPath::kMaxBytes - dir_.Path().size() - nameAndSeparators, 'l'));
    const std::string tooLong = longest + "l";
    for (const std::string& folder : {longest, tooLong}) {
        std::filesystem::create_directory(folder);
        WriteBytes(folder + "/velmo.dat", "");
    }
    LoadSettingsFrom(longest, settings);
    EXPECT_EQ(settings.dictionaryPath.Bytes(), longest + "/velmo.dat");
    EXPECT_EQ(settings.dictionaryPath.Bytes().size(), DictionaryPath::kMaxBytes);
    LoadSettingsFrom(tooLong, settings);
    EXPECT_TRUE(settings.dictionaryPath.Empty());
}

TEST_F(SettingsFile, ANewFileHoldsTheThirteenKeysInOrder) {
    ASSERT_TRUE(Save(DistinctSettings()));
    EXPECT_EQ(ReadBytes(IniPath()), kSettingsPart + kWindowPart + kRectanglePart + kDebugPart);
    EXPECT_EQ(Entries(dir_.Path()), std::set<std::string>{kSettingsFileName});
}

TEST_F(SettingsFile, ANewFileWhenMinimizedOrMaximizedHoldsNineKeys) {
    for (const WindowState& window : {kMinimized, kMaximized}) {
        std::filesystem::remove(IniPath());
        ASSERT_TRUE(Save(DistinctSettings(), window));
        EXPECT_EQ(ReadBytes(IniPath()), kSettingsPart + kWindowPart + kDebugPart);
    }
}

TEST_F(SettingsFile, AnEmptyPathIsWrittenAsAnEmptyEntry) {
    Settings settings;
    ASSERT_TRUE(Save(settings));
    EXPECT_TRUE(ReadBytes(IniPath()).starts_with("[Settings]\r\nData=\r\nRatio=0\r\n[Window]"));
}

TEST_F(SettingsFile, ADeletedFileIsWrittenAgain) {
    ASSERT_TRUE(Save(DistinctSettings()));
    std::filesystem::remove(IniPath());
    ASSERT_TRUE(Save(DistinctSettings()));
    EXPECT_EQ(ReadBytes(IniPath()), kSettingsPart + kWindowPart + kRectanglePart + kDebugPart);
}

TEST_F(SettingsFile, WhatWasSavedLoadsBack) {
    const Settings saved = DistinctSettings();
    ASSERT_TRUE(Save(saved));
    Settings expected = saved;
    expected.windowX = 10;
    expected.windowY = 20;
    expected.windowWidth = 300;
    expected.windowHeight = 200;
    expected.debugRun = 0;
    EXPECT_EQ(Load(), expected);
}

TEST_F(SettingsFile, MinimizedOrMaximizedLeavesThePositionKeysAsTheyWere) {
    const std::string rectangle = "XPos = 11\nYPos=12 \r\n\tWidth=13\r\nHeight=14\r\n";
    for (const WindowState& window : {kMinimized, kMaximized}) {
        WriteIni("[Window]\r\n" + rectangle);
        ASSERT_TRUE(Save(DistinctSettings(), window));
        EXPECT_EQ(ReadBytes(IniPath()), "[Window]\r\n" + rectangle +
                                            "WindowRatio=2\r\nBlackBackgrownd=1\r\n"
                                            "EditReadOnly=1\r\n" +
                                            kSettingsPart + kDebugPart);
    }
}

TEST_F(SettingsFile, TheNormalStateWritesTheOuterRectangle) {
    WriteIni("[Window]\r\nXPos=11\r\nYPos=12\r\nWidth=13\r\nHeight=14\r\n");
    ASSERT_TRUE(Save(Settings(), WindowState{false, false, -8, 10, 1272, 1010}));
    const Settings settings = Load();
    EXPECT_EQ(settings.windowX, -8);
    EXPECT_EQ(settings.windowY, 10);
    EXPECT_EQ(settings.windowWidth, 1280);
    EXPECT_EQ(settings.windowHeight, 1000);
}

TEST_F(SettingsFile, ARectangleThatMakesNoSenseWrapsInsteadOfOverflowing) {
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    ASSERT_TRUE(Save(Settings(), WindowState{false, false, -1, kMax, kMax, kMin}));
    const Settings settings = Load();
    EXPECT_EQ(settings.windowWidth, kMin);
    EXPECT_EQ(settings.windowHeight, 1);
}

TEST_F(SettingsFile, UnknownSectionsKeysAndCommentsSurviveASave) {
    WriteIni(
        "; Quillery settings\r\n"
        "[Settings]\r\n"
        "Data=old\r\n"
        "Extra=keep me\r\n"
        "\r\n"
        "[Plugins]\n"
        "name = value \xFF\x81\n"
        "[Window]\r\n"
        "xpos=1\r\n"
        "Colour=blue\r\n"
        "; end of window\r\n"
        "[Debug]\r\n"
        "InsertMark=0");
    ASSERT_TRUE(Save(DistinctSettings()));
    EXPECT_EQ(ReadBytes(IniPath()),
              "; Quillery settings\r\n"
              "[Settings]\r\n"
              "Data=C:\\" +
                  kHyo +
                  "\\w.txt\r\n"
                  "Extra=keep me\r\n"
                  "Ratio=7\r\n"
                  "\r\n"
                  "[Plugins]\n"
                  "name = value \xFF\x81\n"
                  "[Window]\r\n"
                  "XPos=10\r\n"
                  "Colour=blue\r\n"
                  "WindowRatio=2\r\n"
                  "BlackBackgrownd=1\r\n"
                  "EditReadOnly=1\r\n"
                  "YPos=20\r\n"
                  "Width=300\r\n"
                  "Height=200\r\n"
                  "; end of window\r\n" +
                  kDebugPart);
}

TEST_F(SettingsFile, APathWithALineBreakKeepsTheOldEntry) {
    WriteIni("[Settings]\r\nData=old.txt\r\n");
    Settings settings;
    settings.dictionaryPath.Assign("a\r\n[Window]\r\nWindowRatio=5");
    settings.windowRatio = 2;
    ASSERT_TRUE(Save(settings));
    const Settings loaded = Load();
    EXPECT_EQ(loaded.dictionaryPath.Bytes(), "old.txt");
    EXPECT_EQ(loaded.windowRatio, 2);
}

TEST_F(SettingsFile, AnExistingFileKeepsItsPermissions) {
    for (const mode_t mode : {mode_t{0640}, mode_t{0444}, mode_t{0600}}) {
        WriteIni("[Settings]\r\n");
        ASSERT_EQ(chmod(IniPath().c_str(), mode), 0);
        ASSERT_TRUE(Save(DistinctSettings()));
        EXPECT_EQ(Permissions(IniPath()), mode);
        EXPECT_EQ(Load().insertRatio, 7);
    }
}

TEST_F(SettingsFile, ANewFileFollowsTheUmask) {
    const mode_t old = umask(027);
    const bool saved = Save(DistinctSettings());
    umask(old);
    ASSERT_TRUE(saved);
    EXPECT_EQ(Permissions(IniPath()), mode_t{0640});
}

TEST_F(SettingsFile, ASymbolicLinkIsWrittenThrough) {
    const std::string target = dir_.File("real.ini");
    WriteBytes(target, "[Other]\r\nk=v\r\n");
    std::filesystem::create_symlink(target, IniPath());
    ASSERT_TRUE(Save(DistinctSettings()));
    EXPECT_TRUE(std::filesystem::is_symlink(IniPath()));
    EXPECT_EQ(ReadBytes(target),
              "[Other]\r\nk=v\r\n" + kSettingsPart + kWindowPart + kRectanglePart + kDebugPart);
}

TEST_F(SettingsFile, AFailedSaveChangesNothing) {
    // The settings path is a folder.
    std::filesystem::create_directory(IniPath());
    EXPECT_FALSE(Save(DistinctSettings()));
    EXPECT_TRUE(std::filesystem::is_directory(IniPath()));
    EXPECT_TRUE(std::filesystem::is_empty(IniPath()));
    EXPECT_EQ(Entries(dir_.Path()), std::set<std::string>{kSettingsFileName});

    // The folder does not exist.
    Settings settings = DistinctSettings();
    EXPECT_FALSE(SaveSettingsTo(dir_.File("gone"), settings, kNormal));
    EXPECT_EQ(Entries(dir_.Path()), std::set<std::string>{kSettingsFileName});
}

TEST_F(SettingsFile, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    // Tests run as root, whom permissions do not stop; a file size limit does. The new
    // file is longer than the limit, the old one shorter.
    const std::string old = "[Settings]\r\nData=old\r\n";
    WriteIni(old);
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit small = before;
    small.rlim_cur = 64;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = Save(DistinctSettings());
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadBytes(IniPath()), old);
    EXPECT_EQ(Entries(dir_.Path()), std::set<std::string>{kSettingsFileName});
}

}  // namespace
}  // namespace quillery
