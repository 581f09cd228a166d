// The settings library: the profile file, file names, the settings record and its file.
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include <atomic>
#include <csignal>
#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "settings/ProfileFile.h"
#include "tests/settings/SettingsTestSupport.h"

namespace quillery {
namespace {

using namespace settings_test;
using namespace std::string_literals;
using Numbers = std::vector<std::int64_t>;
using Texts = std::tuple<std::string, std::string, std::string>;

// Code page 932 characters whose second byte is 0x5C or looks like an ASCII letter.
const std::string kHyo = "\x95\x5C";     // 表
const std::string kSo = "\x83\x5C";      // ソ
const std::string kKanaA = "\x83\x41";   // ア
const std::string kKanaYa = "\x83\x61";  // ャ
const std::string kPath = "C:\\" + kHyo + "\\" + kSo + "=x.txt";

TEST(ProfileRead, AHandWrittenFile) {
    // Mixed case, blanks, a comment, lines of other forms, LF and CR alone, duplicates, an
    // entry before any section, code page 932 names and values, no last line break.
    const ProfileDocument file = ProfileDocument::Parse(
        "k=0\r\n[settings]\r\nDATA=" + kPath +
        "\r\n  [ Window ]  \r\n \t Width \t=  \t 640 \t \r\n" +
        ";k=x\r\njust words\r\n[B\r\nk=\r\n[Lf]\nk=  \" two \"  \nk=dup\r[" + kKanaA + "]\r\nk" +
        kKanaA + "=1\r\n[A]x]\r\nq=ab\0cd\r\n[Last]\r\nj=2"s);
    const Texts reads[] = {
        {"SETTINGS", "data", kPath}, {"Settings", "k", "<none>"}, {"window", "WIDTH", "640"},
        {"Window", "k", ""},         {"Window", ";k", "<none>"},  {"Lf", "k", " two "},
        {"Last", "j", "2"},          {kKanaA, "K" + kKanaA, "1"}, {kKanaYa, "k" + kKanaA, "<none>"},
        {"A]x", "q", "ab"}};
    for (const auto& [section, key, value] : reads) {
        EXPECT_EQ(file.GetString(section, key, "<none>"), value) << section << " " << key;
    }
    // Cut between characters at 511 bytes.
    const std::string a509(509, 'a');
    EXPECT_EQ(ProfileDocument::Parse("[S]\nk=" + a509 + "a" + kHyo).Find("S", "k"), a509 + "a");
    EXPECT_EQ(ProfileDocument::Parse("[S]\nk=" + a509 + kHyo + "b").Find("S", "k"), a509 + kHyo);
}

TEST(ProfileWrite, ChangesOnlyTheValueOfTheKeysLine) {
    // The key's spelling and blanks stay; an equal value leaves the line alone; a value with
    // blanks at an end is quoted.
    const Texts cases[] = {{"DATA = old  ", "new", "DATA = new  "},
                           {"Data= same ", "same", "Data= same "},
                           {"Data=\"C:\\x.dat\"", "C:\\y.dat", "Data=C:\\y.dat"},
                           {"Data=old", "new ", "Data=\"new \""}};
    for (const auto& [line, value, expected] : cases) {
        for (const std::string& end : {"\r\n"s, "\r"s}) {
            ProfileDocument document =
                ProfileDocument::Parse("[Settings]" + end + line + end + "; after" + end);
            ASSERT_TRUE(document.SetString("SETTINGS", "DATA", value)) << line;
            EXPECT_EQ(document.Serialize(), "[Settings]" + end + expected + end + "; after" + end);
        }
    }
}

// An added entry or section ends as the file's first line does; a file without a line
// break, like a new one, gets CR LF.
TEST(ProfileWrite, AddedLinesTakeTheFilesLineBreak) {
    for (const std::string& end : {"\n"s, "\r"s, "\r\n"s}) {
        // The last line has no line break of its own; a later CR LF does not count.
        ProfileDocument document =
            ProfileDocument::Parse("[Window]" + end + "a=1\r\n; mine" + end + "b=2");
        ASSERT_TRUE(document.SetString("Window", "Width", "640"));
        ASSERT_TRUE(document.SetString("Debug", "InsertMark", "1"));
        EXPECT_EQ(document.Serialize(), "[Window]" + end + "a=1\r\n; mine" + end + "b=2" + end +
                                            "Width=640" + end + "[Debug]" + end + "InsertMark=1" +
                                            end);
    }
    ProfileDocument oneLine = ProfileDocument::Parse("; mine");
    ASSERT_TRUE(oneLine.SetString("A", "k", "v"));
    EXPECT_EQ(oneLine.Serialize(), "; mine\r\n[A]\r\nk=v\r\n");
    // Mixed line ends: a CR-alone line added before a blank LF line would join that LF.
    ProfileDocument mixed = ProfileDocument::Parse("[A]\ra=1\n\n[B]\r");
    ASSERT_TRUE(mixed.SetString("A", "k", "v"));
    EXPECT_EQ(mixed.Serialize(), "[A]\ra=1\nk=v\r\n\n[B]\r");
    EXPECT_EQ(ProfileDocument::Parse(mixed.Serialize()).Find("B", "k"), std::nullopt);
}

// Editors saving as UTF-8 put a byte-order mark first: it must not hide the first line,
// and stays where it is.
TEST(ProfileWrite, AByteOrderMarkIsReadThroughAndKept) {
    const std::string mark = "\xEF\xBB\xBF";
    for (const std::string& first : {"[Settings]"s, " [Settings]"s}) {
        ProfileDocument document = ProfileDocument::Parse(mark + first + "\nRatio=7\n");
        EXPECT_EQ(document.Find("Settings", "Ratio"), "7") << first;
        ASSERT_TRUE(document.SetString("Settings", "Ratio", "5"));
        ASSERT_TRUE(document.SetString("Settings", "Data", "x"));
        EXPECT_EQ(document.Serialize(), mark + first + "\nRatio=5\nData=x\n");
    }
    // A mark alone: nothing to end before the first added line.
    ProfileDocument markOnly = ProfileDocument::Parse(mark);
    ASSERT_TRUE(markOnly.SetString("A", "k", "v"));
    EXPECT_EQ(markOnly.Serialize(), mark + "[A]\r\nk=v\r\n");
    // Only at the very start is it a mark.
    EXPECT_EQ(ProfileDocument::Parse("\n" + mark + "[A]\nk=1\n").Find("A", "k"), std::nullopt);
}

// A write that would not read back as written (a line break would start entries of its
// own) is refused and changes nothing.
TEST(ProfileWrite, RefusesWhatWouldNotReadBackAsWritten) {
    const std::string text = "[A]\r\nk=old\r\n";
    const Texts refused[] = {{"A", "a=b", "v"},
                             {"", "k", "v"},
                             {"A", "k", "two\r\n[Lines]"},
                             {"A", "k", "nul\0"s},
                             {"A", "k", std::string(512, 'x')}};
    for (const auto& [section, key, value] : refused) {
        ProfileDocument document = ProfileDocument::Parse(text);
        EXPECT_FALSE(document.SetString(section, key, value)) << section << " " << key << value;
        EXPECT_EQ(document.Serialize(), text);
    }
}

// A folder reads as no file, but it is neither read for an update nor replaced; a file in
// a missing folder is not made.
TEST(ProfileFileAccess, FailsWithoutTouchingAnything) {
    const TempDir dir;
    const std::string entry = "[A]\r\nk=1\r\n";
    EXPECT_EQ(ReadProfileFileForUpdate(dir.Name()), std::nullopt);
    EXPECT_EQ(ReplaceWritableFileAtomically(dir.Name(), entry), FileWriteError::kUnusable);
    EXPECT_TRUE(ReplaceWritableFileAtomically(dir.File("missing/p.ini"), entry));
    EXPECT_TRUE(NamesIn(dir.Name()).empty());
}

// The record on settings files already read, as a page keeps its file: later files over
// earlier ones, the default dictionary asked for only when "Data" gives none, and a save
// that leaves the rectangle and the lines it does not own alone.
TEST(SettingsDocuments, ReadLaterOverEarlierAndWriteIntoTheFile) {
    const std::vector<ProfileDocument> files = {
        ProfileDocument::Parse("[Settings]\r\nRatio=7\r\n[Debug]\r\nRandomSeed=-1\r\n"),
        ProfileDocument::Parse("[settings]\r\nratio=2\r\n"),
    };
    int asked = 0;
    Settings settings;
    ReadSettings(
        files, [&] { return ++asked, std::string("velmo.dat"); }, settings);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(settings.dictionaryPath.Bytes(), "velmo.dat");
    EXPECT_EQ(settings.insertRatio, 2);
    EXPECT_EQ(settings.windowRatio, 3);
    EXPECT_EQ(settings.randomSeed, 4294967295u);

    ReadSettings(
        {ProfileDocument::Parse("[Settings]\r\nData=D:\\w.txt\r\n")},
        [&] { return ++asked, std::string("velmo.dat"); }, settings);
    EXPECT_EQ(asked, 1);
    // Every field is read again: what this file lacks takes its default.
    EXPECT_EQ(settings.dictionaryPath.Bytes(), "D:\\w.txt");
    EXPECT_EQ(settings.insertRatio, 4);
    EXPECT_EQ(settings.randomSeed, 0u);

    ProfileDocument file = ProfileDocument::Parse("; mine\r\n[Window]\r\nXPos=10\r\n");
    WindowState unknown;
    unknown.rectangleKnown = false;
    settings.blackBackground = 1;
    WriteSettings(settings, unknown, file);
    EXPECT_EQ(file.Serialize(),
              "; mine\r\n[Window]\r\nXPos=10\r\nWindowRatio=3\r\nBlackBackgrownd=1\r\n"
              "EditReadOnly=0\r\n[Settings]\r\nData=D:\\w.txt\r\nRatio=4\r\n[Debug]\r\n"
              "InsertMark=0\r\nUseRandom=0\r\nRandomSeed=0\r\nNewestRandomSeed=0\r\n");
}

// Both ways, or not at all for a character that would come back as a look-alike, naming
// another file.
TEST(FileNames, ConvertBothWaysOrRefuse) {
    const std::string native = "/tmp/辞書/キー.txt", cp932 = "/tmp/\x8E\xAB\x8F\x91/\x83L\x81[.txt";
    EXPECT_EQ(FileSystemNameToCp932(native), cp932);
    EXPECT_EQ(Cp932ToFileSystemName(cp932), native);
    EXPECT_EQ(FileSystemNameToCp932("/d/〜"), std::nullopt);
}

// The numeric fields, in the order of their keys.
Numbers NumbersOf(const Settings& s) {
    return {s.insertRatio, s.windowRatio,  s.blackBackground, s.editReadOnly,
            s.windowX,     s.windowY,      s.windowWidth,     s.windowHeight,
            s.insertMark,  s.useFixedSeed, s.randomSeed,      s.newestRandomSeed};
}

// Every persistent field with a value of its own, set by name so that a table entry
// naming the wrong field fails.
Settings DistinctSettings() {
    Settings s{.dictionaryPath = {},
               .insertRatio = 7,
               .windowRatio = 2,
               .blackBackground = 1,
               .editReadOnly = 5,
               .insertMark = 8,
               .useFixedSeed = 6,
               .randomSeed = 4294967295u,
               .newestRandomSeed = 1700000000,
               .debugRun = 1};
    s.dictionaryPath.Assign("C:\\" + kHyo + "\\w.txt");
    return s;
}

constexpr WindowState kNormal{false, false, 10, 20, 310, 220};
constexpr WindowState kMinimized{true, false, -32000, -32000, -31840, -31970};

const std::string kSettingsPart = "[Settings]\r\nData=C:\\" + kHyo + "\\w.txt\r\nRatio=7\r\n";
const std::string kWindowKeys = "WindowRatio=2\r\nBlackBackgrownd=1\r\nEditReadOnly=5\r\n";
const std::string kRectangleKeys = "XPos=10\r\nYPos=20\r\nWidth=300\r\nHeight=200\r\n";
const std::string kDebugPart =
    "[Debug]\r\nInsertMark=8\r\nUseRandom=6\r\nRandomSeed=-1\r\nNewestRandomSeed=1700000000\r\n";

class SettingsFile : public ::testing::Test {
  protected:
    std::string Ini() const { return dir_.File(kIni); }
    Settings Load() const {
        Settings settings;
        LoadSettingsFrom(SettingsPlaces{dir_.Name()}, settings);
        return settings;
    }
    Settings LoadFrom(const std::string& ini) const {
        WriteBytes(Ini(), ini);
        return Load();
    }
    bool Save(const Settings& settings, const WindowState& window = kNormal) const {
        return SaveSettingsTo(SettingsPlaces{dir_.Name()}, settings, window);
    }

    const TempDir dir_;
};

TEST_F(SettingsFile, ValuesAreTakenAndSavedAsTheyAre) {
    // Numbers as a 32-bit atoi reads them: blanks and one sign, then digits, modulo 2^32.
    const Settings settings = LoadFrom(
        "[settings]\nratio = abc\n[WINDOW]\nWindowRatio= +17 \nBlackBackgrownd=-1\n"
        "EditReadOnly=12abc\nXPos=\v\f-5\nYPos=99999999999999999999\n"
        "Height=2147483648\n[debug]\nUseRandom=2\nRandomSeed=4294967295\n"
        "NewestRandomSeed=-2147483649");
    EXPECT_EQ(NumbersOf(settings),
              (Numbers{0, 17, -1, 12, -5, 1661992959, 0, INT32_MIN, 0, 2, 4294967295, INT32_MAX}));
    // Flags other than 0 and 1 go back to the file as they came, as do all the others.
    ASSERT_TRUE(Save(settings, kMinimized));
    EXPECT_EQ(NumbersOf(Load()), NumbersOf(settings)) << ReadBytes(Ini());
}

TEST_F(SettingsFile, DataOrElseTheDefaultDictionaryBesideTheExecutable) {
    const std::string velmo = dir_.File("velmo.dat");
    WriteBytes(velmo, "word\r\n");
    EXPECT_EQ(LoadFrom("[Settings]\r\nData=\r\n").dictionaryPath.Bytes(), velmo);
    EXPECT_EQ(LoadFrom("[Settings]\r\nData=/no/such\r\n").dictionaryPath.Bytes(), "/no/such");
    // A value longer than the record holds is like none.
    const std::string longest = "/" + std::string(DictionaryPath::kMaxBytes - 1, 'd');
    EXPECT_EQ(LoadFrom("[Settings]\r\nData=" + longest + "\r\n").dictionaryPath.Bytes(), longest);
    EXPECT_EQ(LoadFrom("[Settings]\r\nData=" + longest + "d\r\n").dictionaryPath.Bytes(), velmo);
    // A default dictionary in a folder code page 932 has no characters for counts as none,
    // and must not leave the last path in the record.
    const std::string folder = dir_.File("😀");
    fs::create_directory(PathFromUtf8(folder));
    WriteBytes(folder + kSep + "velmo.dat", "");
    Settings settings = DistinctSettings();
    LoadSettingsFrom(SettingsPlaces{folder}, settings);
    EXPECT_TRUE(settings.dictionaryPath.Empty());
}

// A hand-edited file with a byte-order mark and LF line ends keeps both, and every byte
// outside the values rewritten: no second [Settings] is added.
TEST_F(SettingsFile, AByteOrderMarkedFileKeepsItsSettings) {
    const std::string before = "\xEF\xBB\xBF[Settings]\nRatio=7\n; mine\n[Window]\nWindowRatio=5\n";
    Settings settings = LoadFrom(before);
    EXPECT_EQ(settings.insertRatio, 7);
    EXPECT_EQ(settings.windowRatio, 5);
    settings.windowRatio = 2;
    ASSERT_TRUE(Save(settings, kMinimized));
    EXPECT_EQ(ReadBytes(Ini()),
              "\xEF\xBB\xBF[Settings]\nRatio=7\nData=\n; mine\n[Window]\nWindowRatio=2\n"
              "BlackBackgrownd=0\nEditReadOnly=0\n[Debug]\nInsertMark=0\nUseRandom=0\n"
              "RandomSeed=0\nNewestRandomSeed=0\n");
}

// A "Data" value too long for the record loads as no dictionary, but a save leaves it as
// the file has it until the user sets a dictionary.
TEST_F(SettingsFile, ADataValueTooLongToHoldStaysUntilADictionaryIsSet) {
    const std::string velmo = dir_.File("velmo.dat");
    const std::string tooLong = "/" + std::string(DictionaryPath::kMaxBytes, 'd');
    const std::string before = "[Settings]\r\nData = " + tooLong + " \r\nRatio=7\r\n";
    for (const bool withDefault : {false, true}) {
        SCOPED_TRACE(withDefault);
        if (withDefault) {
            WriteBytes(velmo, "word\r\n");
        }
        Settings settings = LoadFrom(before);
        EXPECT_EQ(settings.dictionaryPath.Bytes(), withDefault ? velmo : "");
        ASSERT_TRUE(Save(settings, kMinimized));
        const std::string kept = ReadBytes(Ini());
        EXPECT_EQ(kept.substr(0, before.size()), before);
        // Saved and loaded again, still kept.
        ASSERT_TRUE(Save(Load(), kMinimized));
        EXPECT_EQ(ReadBytes(Ini()), kept);
        // The user's choice, even the same path, is written.
        settings.dictionaryPath.Assign(settings.dictionaryPath.Bytes());
        ASSERT_TRUE(Save(settings, kMinimized));
        const std::string chosen =
            "[Settings]\r\nData = " + settings.dictionaryPath.Bytes() + " \r\nRatio=7\r\n";
        EXPECT_EQ(ReadBytes(Ini()).substr(0, chosen.size()), chosen);
    }
}

// Thirteen keys in the normal state; minimized, the rectangle's four are neither added
// nor changed.
TEST_F(SettingsFile, OnlyTheNormalStateWritesTheOuterRectangle) {
    const std::string rectangle = "XPos = 11\nYPos=12 \r\n\tWidth=13\r\nHeight=14\r\n";
    for (const WindowState& window : {kMinimized, kNormal}) {
        const bool placed = !window.minimized;
        fs::remove(Ini());
        ASSERT_TRUE(Save(DistinctSettings(), window));
        EXPECT_EQ(ReadBytes(Ini()), kSettingsPart + "[Window]\r\n" + kWindowKeys +
                                        (placed ? kRectangleKeys : "") + kDebugPart);
        WriteBytes(Ini(), "[Window]\r\n" + rectangle);
        ASSERT_TRUE(Save(DistinctSettings(), window));
        EXPECT_EQ(
            ReadBytes(Ini()),
            "[Window]\r\n" +
                (placed ? "XPos = 10\nYPos=20 \r\n\tWidth=300\r\nHeight=200\r\n" : rectangle) +
                kWindowKeys + kSettingsPart + kDebugPart);
    }
    EXPECT_EQ(NamesIn(dir_.Name()), Names{kIni});
}

TEST_F(SettingsFile, ADictionaryPathThatWouldNotReadBackKeepsTheOldEntry) {
    WriteBytes(Ini(), "[Settings]\r\nData=old.txt\r\n");
    Settings settings = DistinctSettings();
    ASSERT_TRUE(settings.dictionaryPath.Assign("a\r\n[Window]\r\nWindowRatio=5"));
    ASSERT_TRUE(Save(settings));
    EXPECT_EQ(ReadBytes(Ini()), "[Settings]\r\nData=old.txt\r\nRatio=7\r\n[Window]\r\n" +
                                    kWindowKeys + kRectangleKeys + kDebugPart);
}

// Saved at exit with one setting changed, a hand-edited file keeps the quotes around the
// values that did not change: only the changed value is rewritten.
TEST_F(SettingsFile, AnUnchangedHandQuotedValueKeepsItsQuotes) {
    const std::string data = "[Settings]\r\nData=\"C:\\dic\\a.dat\"\r\nRatio=";
    const std::string window = "\r\n[Window]\r\nWindowRatio = \"3\"\r\n";
    Settings settings = LoadFrom(data + "4" + window);
    ASSERT_EQ(settings.dictionaryPath.Bytes(), "C:\\dic\\a.dat");
    ASSERT_EQ(settings.windowRatio, 3);
    settings.insertRatio = 7;
    ASSERT_TRUE(Save(settings));
    const std::string expected = data + "7" + window;
    EXPECT_EQ(ReadBytes(Ini()).substr(0, expected.size()), expected);
}

// A file without write permission for its owner (FILE_ATTRIBUTE_READONLY on Windows) is
// left as it is, bytes and mode, even when others may write it, also by root and through
// a link; nothing is put beside it.
TEST_F(SettingsFile, AReadOnlyFileIsLeftAsItIs) {
    const std::string old = "[Settings]\r\nRatio=9\r\n";
    const std::string real = dir_.File("real.ini");
    const std::pair<std::string, int> cases[] = {
        {Ini(), 0444},
#ifndef _WIN32  // no such modes on Windows, and links need a privilege there
        {Ini(), 0466},
        {real, 0444},
#endif
    };
    for (const auto& [target, mode] : cases) {
        SCOPED_TRACE(target + " " + std::to_string(mode));
        WriteBytes(target, old);
        if (target == real) {
            fs::create_symlink(real, Ini());
        }
        fs::permissions(PathFromUtf8(target), fs::perms(mode));
        EXPECT_FALSE(Save(DistinctSettings()));
        EXPECT_EQ(ReplaceWritableFileAtomically(Ini(), "[Settings]\r\nRatio=1\r\n"),
                  FileWriteError::kReadOnly);
        EXPECT_EQ(ReadBytes(target), old);
        EXPECT_EQ(fs::status(PathFromUtf8(target)).permissions(), fs::perms(mode));
        EXPECT_EQ(NamesIn(dir_.Name()).size(), target == real ? 2u : 1u);
        fs::permissions(PathFromUtf8(target), fs::perms::owner_write, fs::perm_options::add);
        fs::remove(PathFromUtf8(Ini()));
    }
}

// A save that would write the bytes the file holds leaves it alone: no flush to a busy
// disk at exit for nothing. One that changes a byte, or only the length, replaces it.
std::atomic<int> gTemporaryFilesOpened{0};

TEST_F(SettingsFile, AnUnchangedFileIsNotWrittenAgain) {
    file_io_testing::SetWriteStepHook([](WriteStep step) {
        gTemporaryFilesOpened += step == WriteStep::kTemporaryOpened ? 1 : 0;
    });
    // Taken away however the test ends: a failed assertion must not leave it to the next.
    struct HookRemover {
        ~HookRemover() { file_io_testing::SetWriteStepHook(nullptr); }
    } hookRemover;
    ASSERT_TRUE(Save(DistinctSettings()));
    const std::string saved = ReadBytes(Ini());
    const int opened = gTemporaryFilesOpened;
    ASSERT_TRUE(Save(DistinctSettings()));
    EXPECT_EQ(gTemporaryFilesOpened, opened);
    Settings changed = DistinctSettings();
    changed.insertRatio = 3;
    ASSERT_TRUE(Save(changed));
    EXPECT_EQ(gTemporaryFilesOpened, opened + 1);
    EXPECT_EQ(Load().insertRatio, 3);
    // The same bytes and one more: not the same file.
    ASSERT_FALSE(ReplaceWritableFileAtomically(Ini(), saved + ";"));
    EXPECT_EQ(gTemporaryFilesOpened, opened + 2);
    EXPECT_EQ(ReadBytes(Ini()), saved + ";");
}

#ifndef _WIN32
TEST_F(SettingsFile, PermissionsAndLinksOfTheFileStay) {
    WriteBytes(Ini(), "[Settings]\r\n");
    fs::permissions(Ini(), fs::perms(0604));
    ASSERT_TRUE(Save(DistinctSettings()));
    EXPECT_EQ(fs::status(Ini()).permissions(), fs::perms(0604));
    // A symbolic link is written through.
    fs::rename(Ini(), dir_.File("real.ini"));
    fs::create_symlink(dir_.File("real.ini"), Ini());
    ASSERT_TRUE(Save(Settings()));
    EXPECT_TRUE(fs::is_symlink(Ini()));
    EXPECT_EQ(Load().insertRatio, 0);
}

TEST_F(SettingsFile, AFailedSaveLeavesTheOldFileAndNoTemporaryFile) {
    // Root is stopped by a file size limit between the old file's size and the new one's;
    // through an unnamed and through a named temporary.
    const std::string old = "[Settings]\r\nData=old\r\n";
    for (const bool unnamed : {true, false}) {
        WriteBytes(Ini(), old);
        file_io_testing::SetUnnamedTemporaryFiles(unnamed);
        rlimit before{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
        const rlimit small{64, before.rlim_max};
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool saved = Save(DistinctSettings());
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);
        file_io_testing::SetUnnamedTemporaryFiles(true);
        EXPECT_FALSE(saved) << unnamed;
        EXPECT_EQ(ReadBytes(Ini()), old) << unnamed;
        EXPECT_EQ(NamesIn(dir_.Name()).size(), 1u) << unnamed;
    }
}
#else
// A file another program holds open without sharing cannot be replaced.
TEST_F(SettingsFile, AFailedSaveLeavesTheOldFileAndNoTemporaryFile) {
    const std::string old = "[Settings]\r\nData=old\r\n";
    WriteBytes(Ini(), old);
    const HANDLE lock = CreateFileW(PathFromUtf8(Ini()).c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    const bool saved = Save(DistinctSettings());
    CloseHandle(lock);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadBytes(Ini()), old);
    EXPECT_EQ(NamesIn(dir_.Name()).size(), 1u);
}
#endif

}  // namespace
}  // namespace quillery
