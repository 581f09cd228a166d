// The settings library: the profile file, file names, the settings record and its file,
// and module paths.
#ifndef _WIN32
#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include <csignal>
#include <cstdint>
#include <cstdlib>
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

// Code page 932 characters whose second byte is 0x5C, and two katakana that differ only
// in a second byte that looks like an ASCII letter.
const std::string kHyo = "\x95\x5C";     // 表
const std::string kSo = "\x83\x5C";      // ソ
const std::string kKanaA = "\x83\x41";   // ア
const std::string kKanaYa = "\x83\x61";  // ャ
const std::string kPath = "C:\\" + kHyo + "\\" + kSo + "=x.txt";

TEST(ProfileRead, AHandWrittenFile) {
    // Mixed case, blanks, a comment, lines of other forms, LF-only lines, duplicates, an
    // entry before any section, code page 932 names and values, no last line break.
    const ProfileDocument file = ProfileDocument::Parse(
        "k=0\r\n[settings]\r\nDATA=" + kPath +
        "\r\n  [ Window ]  \r\n \t Width \t=  \t 640 \t \r\n" +
        ";k=x\r\njust words\r\n[B\r\nk=\r\n[Lf]\nk=  two words  \nk=dup\n[lf]\nk=3\nj=4\n[" +
        kKanaA + "]\r\nk" + kKanaA + "=1\r\n[A\x81]]\r\n\x81=k=v\r\n[Last]\r\nj=2");
    const Texts reads[] = {{"SETTINGS", "data", kPath}, {"Settings", "k", "<none>"},
                           {"window", "WIDTH", "640"},  {"Window", "k", ""},
                           {"Window", ";k", "<none>"},  {"Lf", "k", "two words"},
                           {"Lf", "j", "<none>"},       {"Last", "j", "2"},
                           {kKanaA, "K" + kKanaA, "1"}, {kKanaYa, "k" + kKanaA, "<none>"},
                           {"A\x81]", "\x81=k", "v"}};
    for (const auto& [section, key, value] : reads) {
        EXPECT_EQ(file.GetString(section, key, "<none>"), value) << section << " " << key;
    }
}

// What a read gives of the text after "=": up to a NUL, without the blanks around it and
// then one pair of double quotes around the whole; cut between characters at 511 bytes.
TEST(ProfileRead, ValuesLineEndsAndSectionNamesAsWindowsReadsThem) {
    const std::string a509(509, 'a');
    const std::pair<std::string, std::string> values[] = {
        {a509 + "aa" + kHyo, a509 + "aa"}, {a509 + "a" + kHyo, a509 + "a"},
        {a509 + kHyo + "b", a509 + kHyo},  {std::string("ab\0cd", 5), "ab"},
        {"lone CR\r", "lone CR"},
        {"\"C:\\Program Files\\x.dat\"", "C:\\Program Files\\x.dat"}, {"  \" two \"  ", " two "},
        {"\"\"\"\"", "\"\""}, {"\"\"", ""}, {"\"", "\""}, {"'x'", "'x'"}, {"\"x", "\"x"},
        {"x\"", "x\""}, {"a\"b\"c", "a\"b\"c"}, {"\"a\" \"b\"", "a\" \"b"}};
    for (const auto& [value, read] : values) {
        const ProfileDocument document = ProfileDocument::Parse("[S]\r\nk=" + value + "\r\n");
        EXPECT_EQ(document.GetString("S", "k", ""), read) << value;
    }
    EXPECT_EQ(ProfileDocument().GetString("A", "k", a509 + "aaa"), a509 + "aa");
    // CR, LF and CR LF each end a line; a section name ends at the last "]" of its line.
    for (const std::string text :
         {"[S]\rj=1\rk=2\r", "[X]\rk=1\r[S]\rk=2", "[X]\r\rk=1\n\r[S]\r\n\rk=2\n",
          "[S]x]\r\nk=1\r\n[S]\r\nk=2\r\n", "[S]]\r\nk=1\r\n[S] ; c\r\nk=2\r\n"}) {
        EXPECT_EQ(ProfileDocument::Parse(text).GetString("S", "k", "<none>"), "2") << text;
    }
    const ProfileDocument debug = ProfileDocument::Parse("[Debug]x]\r\nk=1\r\n[a]b]c]\r\nk=2");
    EXPECT_EQ(debug.Find("Debug]x", "k"), "1");
    EXPECT_EQ(debug.Find("Debug", "k"), std::nullopt);
    EXPECT_EQ(debug.Find("a]b]c", "k"), "2");
}

TEST(ProfileWrite, AnEntryKeepsItsSpellingAndAnEqualValueLeavesItsLineAlone) {
    const Texts cases[] = {
        {"data=lower", "lower", "data=lower"}, {"DATA = old  ", "new", "DATA = new  "},
        {"  Data\t=\told", "", "  Data\t=\t"}, {"Data=", "new", "Data=new"},
        {"Data =   ", "new", "Data =   new"}, {"Data= same ", "same", "Data= same "},
        {"Data=\"same\"", "same", "Data=\"same\""}, {"Data=old", "\"q\"", "Data=\"\"q\"\""},
        {"Data=\"C:\\x.dat\"", "C:\\y.dat", "Data=C:\\y.dat"}, {"Data=old\0tail", "x", "Data=x"},
        {"Data=same\0tail"s, "same", "Data=same\0tail"s}};
    for (const auto& [line, value, expected] : cases) {
        for (const std::string& end : {"\r\n"s, "\n"s, "\r"s}) {
            ProfileDocument document =
                ProfileDocument::Parse("[Settings]" + end + line + end + "; after" + end);
            ASSERT_TRUE(document.SetString("SETTINGS", "DATA", value)) << line;
            EXPECT_EQ(document.Serialize(), "[Settings]" + end + expected + end + "; after" + end)
                << line;
            EXPECT_EQ(document.Find("Settings", "data"), value) << line;
        }
    }
}

TEST(ProfileWrite, ChangesOnlyTheLineOfTheKey) {
    const std::string odd = "[A]\nk=1\r\nlone\rcr\n\xFF\x81\n; c\n[B]  trailing\r";
    // The first of duplicates; a new key after the section's last entry, or right after
    // its header; a new section at the end on a line of its own; other lines byte for byte.
    const struct {
        std::string text, section, key, value, expected;
    } cases[] = {
        {"[A]\r\n k = 1 \r\nk=2\r\n[a]\r\nk=3\r\n", "a", "K", "9",
         "[A]\r\n k = 9 \r\nk=2\r\n[a]\r\nk=3\r\n"},
        {"[A]\r\nx=1\r\n[B]\r\n[A]\r\ny=2\r\n", "A", "y", "3",
         "[A]\r\nx=1\r\ny=3\r\n[B]\r\n[A]\r\ny=2\r\n"},
        {"[A]\r\n\r\n[B]\r\n", "A", "k", "v", "[A]\r\nk=v\r\n\r\n[B]\r\n"},
        {"[A]\r\nx=1", "B", "k", "v", "[A]\r\nx=1\r\n[B]\r\nk=v\r\n"},
        {"[A]\r\nx=1", "A", "k", "v", "[A]\r\nx=1\r\nk=v\r\n"},
        {"[A]\nx=1\nk=2\n\n", "A", "k", "3", "[A]\nx=1\nk=3\n\n"},
        {odd, "B", "k", "v", odd + "k=v\r\n"},
        // CR alone ends a line: the entry is found and no second one is added.
        {"[A]\rx=1\rk=2\r[B]\r", "A", "k", "3", "[A]\rx=1\rk=3\r[B]\r"},
        {"[A]\rx=1\r\r[B]\rk=1", "A", "k", "v", "[A]\rx=1\rk=v\r\n\r[B]\rk=1"},
        {"[A]\r\rx=1\r\n\n", "B", "k", "v", "[A]\r\rx=1\r\n\n[B]\r\nk=v\r\n"},
    };
    for (const auto& c : cases) {
        ProfileDocument document = ProfileDocument::Parse(c.text);
        EXPECT_TRUE(document.SetString(c.section, c.key, c.value)) << c.text;
        EXPECT_EQ(document.Serialize(), c.expected) << c.text;
    }
}

// A write is taken only when a read gives back exactly what was written: a dictionary
// path ending in a blank once read back as another file's.
TEST(ProfileWrite, RefusesWhatWouldNotReadBackAsWritten) {
    const std::string text = "[A]\r\nk=old\r\n";
    std::vector<Texts> refused = {
        {"A", "", "v"}, {"A", "a=b", "v"}, {"A", ";k", "v"}, {"A", "[k]", "v"}, {"", "k", "v"}};
    for (const std::string& value :
         {"two\r\n[Lines]"s, "lf\nonly"s, "cr\ronly"s, "nul\0"s, std::string(512, 'x')}) {
        refused.emplace_back("A", "k", value);
    }
    for (const auto& [section, key, value] : refused) {
        ProfileDocument document = ProfileDocument::Parse(text);
        EXPECT_FALSE(document.SetString(section, key, value)) << section << " " << key << value;
        EXPECT_EQ(document.Serialize(), text);
    }
    // Blanks inside, the longest value, a lone lead byte and a full-width space at the end;
    // blanks at an end and quotes at both, which go to the file inside quotes.
    const std::string accepted[] = {
        "",           "two  words", "a\tb",      std::string(511, 'x'),
        "abc\x81",    "\x81\x40",   "x\x81\x40", "new ",
        " new",       "\tnew",      " ",         "\"\"",
        "\"quoted\"", "\"",         "\"one end", " \"" + std::string(507, 'x') + "\" "};
    for (const std::string& value : accepted) {
        ProfileDocument document = ProfileDocument::Parse(text);
        ASSERT_TRUE(document.SetString("A", "k", value)) << value;
        EXPECT_EQ(ProfileDocument::Parse(document.Serialize()).Find("A", "k"), value);
    }
    ProfileDocument document = ProfileDocument::Parse(text);
    ASSERT_TRUE(document.SetString("Debug]x", "k", "v"));
    EXPECT_EQ(document.Serialize(), text + "[Debug]x]\r\nk=v\r\n");
}

// The file steps of a load and of a save where there is no file to take: a folder reads as
// no file, but it is neither read for an update nor replaced; a file in a missing folder
// is not made.
TEST(ProfileFileAccess, FailsWithoutTouchingAnything) {
    const TempDir dir;
    const std::string entry = "[A]\r\nk=1\r\n";
    EXPECT_EQ(ReadProfileFile(dir.Name()).GetString("A", "k", "dflt"), "dflt");
    EXPECT_EQ(ReadProfileFileForUpdate(dir.Name()), std::nullopt);
    EXPECT_EQ(ReplaceWritableFileAtomically(dir.Name(), entry), FileWriteError::kUnusable);
    const std::string inMissingFolder = dir.File("missing/p.ini");
    EXPECT_EQ(ReadProfileFileForUpdate(inMissingFolder), ProfileDocument());
    const std::error_code missing = ReplaceWritableFileAtomically(inMissingFolder, entry);
    EXPECT_TRUE(missing);
#ifndef _WIN32
    EXPECT_EQ(missing, std::errc::no_such_file_or_directory) << missing.message();
#endif
    EXPECT_TRUE(NamesIn(dir.Name()).empty());
}

TEST(FileNames, ConvertBothWaysOrRefuse) {
    // Japanese, half-width katakana, NEC and IBM extension characters; a question mark of
    // the name itself is no sign of a failed conversion.
    const std::pair<std::string, std::string> both[] = {
        {"/tmp/辞書/キー.txt", "/tmp/\x8E\xAB\x8F\x91/\x83L\x81[.txt"},
        {"/d/表ソ\\x", "/d/" + kHyo + kSo + "\\x"},
        {"ｱ①ⅰ～", "\xB1\x87\x40\xFA\x40\x81\x60"},
        {"/data/why?.txt", "/data/why?.txt"},
    };
    for (const auto& [native, cp932] : both) {
        EXPECT_EQ(FileSystemNameToCp932(native), cp932) << native;
        EXPECT_EQ(Cp932ToFileSystemName(cp932), native) << native;
    }
    // A lead byte at the end, a bad second byte, a byte of no character; line breaks, NUL.
    for (const std::string& cp932 :
         {"/d/\x95"s, "/d/\x81 x"s, "/d/\x80x"s, "/d/a\nb"s, std::string("/d/a\0b", 6)}) {
        EXPECT_EQ(Cp932ToFileSystemName(cp932), std::nullopt) << cp932;
    }
    // Malformed UTF-8, an encoded surrogate, characters code page 932 lacks, and ones that
    // would come back as a look-alike (U+301C, U+00A5), naming another file.
    for (const char* native :
         {"/d/\xC3\x28", "/d/\xED\xB2\x80", "/d/😀", "/d/café", "/d/〜", "/d/¥", "/d/a\rb"}) {
        EXPECT_EQ(FileSystemNameToCp932(native), std::nullopt) << native;
    }
}

TEST(FileNames, NameIsThePartAfterTheLastSeparator) {
    // Either separator; a drive is a letter and a colon; second bytes of 0x5C are no
    // separators, and a lead byte at the very end stands alone.
    EXPECT_EQ(FileNameFromPath("D:/data\\sub/words"), "words");
    EXPECT_EQ(FileNameFromPath("D:\\data\\"), "");
    EXPECT_EQ(FileNameFromPath("C:x.txt"), "x.txt");
    EXPECT_EQ(FileNameFromPath("1:x.txt"), "1:x.txt");
    EXPECT_EQ(FileNameFromPath("D:\\d\\" + kSo + kHyo), kSo + kHyo);
    EXPECT_EQ(FileNameFromPath("D:\\" + kHyo + "\\x"), "x");
    EXPECT_EQ(FileNameFromPath("D:\\a\\\x95"), "\x95");
}

// The numeric fields, in the order of their keys.
Numbers NumbersOf(const Settings& s) {
    return {s.insertRatio, s.windowRatio,  s.blackBackground, s.editReadOnly,
            s.windowX,     s.windowY,      s.windowWidth,     s.windowHeight,
            s.insertMark,  s.useFixedSeed, s.randomSeed,      s.newestRandomSeed};
}
const Numbers kDefaults{4, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

Settings LoadIn(const std::optional<std::string>& folder) {
    Settings settings;
    LoadSettingsFrom(SettingsPlaces{folder}, settings);
    return settings;
}

// Every persistent field with a value of its own (debugRun, never saved, is 1). Set by
// name, not through the settings table, so that a table entry naming the wrong field fails.
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
constexpr WindowState kMaximized{false, true, -8, -8, 1288, 1008};

const std::string kSettingsPart = "[Settings]\r\nData=C:\\" + kHyo + "\\w.txt\r\nRatio=7\r\n";
const std::string kWindowKeys = "WindowRatio=2\r\nBlackBackgrownd=1\r\nEditReadOnly=5\r\n";
const std::string kRectangleKeys = "XPos=10\r\nYPos=20\r\nWidth=300\r\nHeight=200\r\n";
const std::string kDebugPart =
    "[Debug]\r\nInsertMark=8\r\nUseRandom=6\r\nRandomSeed=-1\r\nNewestRandomSeed=1700000000\r\n";

class SettingsFile : public ::testing::Test {
  protected:
    std::string Ini() const { return dir_.File(kSettingsFileName); }
    Settings Load() const { return LoadIn(dir_.Name()); }
    Settings LoadFrom(const std::string& ini) const {
        WriteBytes(Ini(), ini);
        return Load();
    }
    bool Save(const Settings& settings, const WindowState& window = kNormal) const {
        return SaveSettingsTo(SettingsPlaces{dir_.Name()}, settings, window);
    }

    const TempDir dir_;
    const std::string velmo_ = dir_.File(kDefaultDictionaryName);
};

TEST_F(SettingsFile, DefaultsForAMissingFileSectionOrKey) {
    Settings settings = DistinctSettings();
    LoadSettingsFrom(SettingsPlaces{dir_.Name()}, settings);
    EXPECT_EQ(NumbersOf(settings), kDefaults);
    EXPECT_TRUE(settings.dictionaryPath.Empty());
    EXPECT_EQ(settings.debugRun, 1);  // not a setting: left alone
    EXPECT_EQ(NumbersOf(LoadFrom("[Settings]\r\nRatio=6\r\n[Other]\r\nWidth=5\r\n")),
              (Numbers{6, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(SettingsFile, ValuesAreTakenAndSavedAsTheyAre) {
    // Numbers as a 32-bit atoi reads them, whatever the platform's long: blanks and one
    // sign, then digits (full-width ones are none), modulo 2^32.
    const Settings settings = LoadFrom(
        "[settings]\nratio = abc\n[WINDOW]\nWindowRatio= +17 \nBlackBackgrownd=-1\n"
        "EditReadOnly=12abc\nXPos=\v\f-5\nYPos=99999999999999999999\nWidth=4294967296\n"
        "Height=2147483648\n[debug]\nUseRandom=2\nInsertMark=\x82\x50\nRandomSeed=4294967295\n"
        "NewestRandomSeed=-2147483649");
    EXPECT_EQ(NumbersOf(settings),
              (Numbers{0, 17, -1, 12, -5, 1661992959, 0, INT32_MIN, 0, 2, 4294967295, INT32_MAX}));
    // Flags other than 0 and 1 count as off, yet go back to the file as they came, as do
    // all the others (the rectangle keys stay as they are).
    ASSERT_TRUE(Save(settings, kMinimized));
    EXPECT_EQ(NumbersOf(Load()), NumbersOf(settings)) << ReadBytes(Ini());
}

TEST_F(SettingsFile, DataOrElseTheDefaultDictionaryBesideTheExecutable) {
    // A folder of that name is no dictionary.
    fs::create_directory(velmo_);
    EXPECT_TRUE(Load().dictionaryPath.Empty());
    fs::remove(velmo_);
    WriteBytes(velmo_, "word\r\n");
    EXPECT_EQ(Load().dictionaryPath.Bytes(), velmo_);
    // An empty value is like none; any other is copied unchanged, even one of no file.
    EXPECT_EQ(LoadFrom("[Settings]\r\nData=\r\n").dictionaryPath.Bytes(), velmo_);
    EXPECT_EQ(LoadFrom("[Settings]\r\nData=/no/such\r\n").dictionaryPath.Bytes(), "/no/such");
    // A value of the most bytes the record holds is taken; one longer is like none.
    const std::string longest = "/" + std::string(DictionaryPath::kMaxBytes - 1, 'd');
    EXPECT_EQ(LoadFrom("[Settings]\r\nData=" + longest + "\r\n").dictionaryPath.Bytes(), longest);
    EXPECT_EQ(LoadFrom("[Settings]\r\nData=" + longest + "d\r\n").dictionaryPath.Bytes(), velmo_);
    // A default dictionary that cannot be held counts as none: in a folder code page 932 has
    // no characters for, or at a path longer than the record holds.
    const std::size_t room = DictionaryPath::kMaxBytes - dir_.Name().size() - 11;
    const std::string full = dir_.File(std::string(room, 'l'));
    const std::pair<std::string, std::string> cases[] = {
        {dir_.File("辞書"), dir_.Name() + kSep + "\x8E\xAB\x8F\x91" + kSep + "velmo.dat"},
        {dir_.File("😀"), ""},
        {full, full + kSep + "velmo.dat"},
        {full + "l", ""}};
    ASSERT_EQ(cases[2].second.size(), DictionaryPath::kMaxBytes);
    // One record for all: a path that cannot be held must not leave the last one there.
    Settings settings;
    for (const auto& [folder, expected] : cases) {
        fs::create_directory(PathFromUtf8(folder));
        WriteBytes(folder + kSep + "velmo.dat", "");
        LoadSettingsFrom(SettingsPlaces{folder}, settings);
        EXPECT_EQ(settings.dictionaryPath.Bytes(), expected) << folder;
    }
}

// Thirteen keys in the normal state; minimized or maximized, the rectangle's four are
// neither added nor changed.
TEST_F(SettingsFile, OnlyTheNormalStateWritesTheOuterRectangle) {
    const std::string rectangle = "XPos = 11\nYPos=12 \r\n\tWidth=13\r\nHeight=14\r\n";
    for (const WindowState& window : {kMinimized, kMaximized, kNormal}) {
        const bool placed = !window.minimized && !window.maximized;
        // A new file, as when it is deleted while the program runs.
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
    const Settings loaded = Load();
    EXPECT_EQ(loaded.dictionaryPath, DistinctSettings().dictionaryPath);
    EXPECT_EQ(NumbersOf(loaded),
              (Numbers{7, 2, 1, 5, 10, 20, 300, 200, 8, 6, 4294967295, 1700000000}));
    // One that makes no sense wraps instead of overflowing; an empty path is written.
    ASSERT_TRUE(Save(Settings(), WindowState{false, false, -1, INT32_MAX, INT32_MAX, INT32_MIN}));
    EXPECT_EQ(NumbersOf(Load()), (Numbers{0, 3, 0, 0, -1, INT32_MAX, INT32_MIN, 1, 0, 0, 0, 0}));
    EXPECT_NE(ReadBytes(Ini()).find("\r\n[Settings]\r\nData=\r\nRatio=0\r\n[Debug]"),
              std::string::npos);
}

TEST_F(SettingsFile, UnknownSectionsKeysAndCommentsSurviveASave) {
    WriteBytes(Ini(),
               "; Quillery\r\n[Settings]\r\nData=old\r\nExtra=keep me\r\n\r\n[Plugins]\n"
               "name = value \xFF\x81\n[Window]\r\nxpos=1\r\nColour=blue\r\n; end\r\n"
               "[Debug]\r\nInsertMark=0");
    ASSERT_TRUE(Save(DistinctSettings()));
    EXPECT_EQ(ReadBytes(Ini()),
              "; Quillery\r\n[Settings]\r\nData=C:\\" + kHyo +
                  "\\w.txt\r\nExtra=keep me\r\nRatio=7\r\n\r\n[Plugins]\n"
                  "name = value \xFF\x81\n[Window]\r\nxpos=10\r\nColour=blue\r\n" +
                  kWindowKeys + "YPos=20\r\nWidth=300\r\nHeight=200\r\n; end\r\n" + kDebugPart);
}

TEST_F(SettingsFile, ADictionaryPathThatWouldNotReadBackKeepsTheOldEntry) {
    // A line break would start entries of its own.
    WriteBytes(Ini(), "[Settings]\r\nData=old.txt\r\n");
    Settings settings = DistinctSettings();
    ASSERT_TRUE(settings.dictionaryPath.Assign("a\r\n[Window]\r\nWindowRatio=5"));
    ASSERT_TRUE(Save(settings));
    EXPECT_EQ(ReadBytes(Ini()), "[Settings]\r\nData=old.txt\r\nRatio=7\r\n[Window]\r\n" +
                                    kWindowKeys + kRectangleKeys + kDebugPart);
    // Blanks at an end, or quotes at both, are kept by quoting the value.
    for (const std::string path : {"/data/dict.dat ", "\"/data/q.dat\""}) {
        ASSERT_TRUE(settings.dictionaryPath.Assign(path));
        ASSERT_TRUE(Save(settings));
        EXPECT_EQ(Load().dictionaryPath.Bytes(), path);
    }
}

// A file without write permission for its owner (FILE_ATTRIBUTE_READONLY on Windows) is
// left as it is, bytes and mode, whatever the group and others may do, also by root and
// through a link; nothing is put beside it.
TEST_F(SettingsFile, AReadOnlyFileIsLeftAsItIs) {
    const std::string old = "[Settings]\r\nRatio=9\r\n";
    const std::string real = dir_.File("real.ini");
    const std::pair<std::string, int> cases[] = {
        {Ini(), 0444},
#ifndef _WIN32  // no such modes on Windows, and links need a privilege there
        {Ini(), 0400}, {Ini(), 0464}, {Ini(), 0466}, {Ini(), 0555}, {real, 0444},
#endif
    };
    for (const auto& [target, mode] : cases) {
        SCOPED_TRACE(target + " " + std::to_string(mode));
        WriteBytes(target, old);
        if (target == real) {
            fs::create_symlink(real, Ini());
        }
        fs::permissions(PathFromUtf8(target), fs::perms(mode));
        const fs::perms before = fs::status(PathFromUtf8(target)).permissions();
        EXPECT_FALSE(Save(DistinctSettings()));
        EXPECT_EQ(ReplaceWritableFileAtomically(Ini(), "[Settings]\r\nRatio=1\r\n"),
                  FileWriteError::kReadOnly);
        EXPECT_EQ(ReadBytes(target), old);
        EXPECT_EQ(fs::status(PathFromUtf8(target)).permissions(), before);
        EXPECT_EQ(Load().insertRatio, 9);
        EXPECT_EQ(NamesIn(dir_.Name()).size(), target == real ? 2u : 1u);
        fs::permissions(PathFromUtf8(target), fs::perms::owner_write, fs::perm_options::add);
        fs::remove(PathFromUtf8(Ini()));
    }
}

#ifndef _WIN32
TEST_F(SettingsFile, PermissionsAndLinksOfTheFileStay) {
    WriteBytes(Ini(), "[Settings]\r\n");
    fs::permissions(Ini(), fs::perms(0604));
    ASSERT_TRUE(Save(DistinctSettings()));
    EXPECT_EQ(fs::status(Ini()).permissions(), fs::perms(0604));
    // A new file follows the umask.
    fs::remove(Ini());
    const mode_t old = umask(027);
    EXPECT_TRUE(Save(DistinctSettings()));
    umask(old);
    EXPECT_EQ(fs::status(Ini()).permissions(), fs::perms(0640));
    // A symbolic link is written through.
    fs::rename(Ini(), dir_.File("real.ini"));
    fs::create_symlink(dir_.File("real.ini"), Ini());
    ASSERT_TRUE(Save(Settings()));
    EXPECT_TRUE(fs::is_symlink(Ini()));
    EXPECT_EQ(Load().insertRatio, 0);
}

TEST_F(SettingsFile, AFailedSaveLeavesTheOldFileAndNoTemporaryFile) {
    // Root is not stopped by a read-only folder, but by a file size limit between the old
    // file's size and the new one's; through an unnamed and through a named temporary.
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
        const std::error_code error = ReplaceWritableFileAtomically(Ini(), std::string(100, 'x'));
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);
        file_io_testing::SetUnnamedTemporaryFiles(true);
        EXPECT_FALSE(saved) << unnamed;
        EXPECT_EQ(error, std::errc::file_too_large) << unnamed << ": " << error.message();
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

TEST(SettingsFiles, NoneWhereThePathWouldBeTooLong) {
    const std::string& name = kIni;
    const std::string tooLong = "/" + std::string(kPathCapacity - 2 - name.size(), 'd');
    EXPECT_EQ(NumbersOf(LoadIn(tooLong)), kDefaults);
    EXPECT_FALSE(SaveSettingsTo(SettingsPlaces{tooLong}, DistinctSettings(), kNormal));
    EXPECT_FALSE(SaveSettingsTo(SettingsPlaces{std::nullopt}, DistinctSettings(), kNormal));
}

// A quarter of a million short lines: a document holds them at about their own size, and a
// save keeps every one (each line once cost two strings, over a gigabyte for 10 MB).
TEST(ProfileLargeFile, ADocumentTakesAboutItsSizeAndASaveKeepsEveryLine) {
    const std::string emptyLines(256 * 1024, '\n');
    const std::string manyLines = "[Settings]\r\nRatio=6\r\n" + emptyLines;
#if !defined(_WIN32) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    // mallinfo2 is glibc's, and does not see the sanitizers' own heap.
    const auto heapInUse = [] { return mallinfo2().uordblks + mallinfo2().hblkhd; };
    const std::size_t before = heapInUse();
    const ProfileDocument document = ProfileDocument::Parse(manyLines);
    EXPECT_LT(heapInUse() - before, 2 * manyLines.size());
    EXPECT_EQ(document.Find("Settings", "Ratio"), "6");
#endif
    const TempDir dir;
    WriteBytes(dir.File(kSettingsFileName), manyLines);
    Settings settings = LoadIn(dir.Name());
    EXPECT_EQ(settings.insertRatio, 6);
    ASSERT_TRUE(
        SaveSettingsTo(SettingsPlaces{dir.Name()}, settings, WindowState{false, false, 1, 2, 3, 4}));
    // Compared whole: a line diff of so many lines would never finish.
    EXPECT_TRUE(ReadBytes(dir.File(kSettingsFileName)) ==
                "[Settings]\r\nRatio=6\r\nData=\r\n" + emptyLines +
                    "[Window]\r\nWindowRatio=3\r\nBlackBackgrownd=0\r\nEditReadOnly=0\r\n"
                    "XPos=1\r\nYPos=2\r\nWidth=2\r\nHeight=2\r\n[Debug]\r\nInsertMark=0\r\n"
                    "UseRandom=0\r\nRandomSeed=0\r\nNewestRandomSeed=0\r\n");
}

}  // namespace
}  // namespace quillery
