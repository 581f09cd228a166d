#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "files/FileIo.h"
#include "settings/ProfileFile.h"

namespace quillery {

// The dictionary's path as code page 932 bytes, at most 255 of them (a 256-byte buffer
// with its terminator, as the settings file and the dialogs expect).
class DictionaryPath {
  public:
    static constexpr std::size_t kCapacity = 256;
    static constexpr std::size_t kMaxBytes = kCapacity - 1;

    // Refuses (and keeps the old value) a path longer than kMaxBytes.
    bool Assign(std::string_view cp932) {
        if (cp932.size() > kMaxBytes) {
            return false;
        }
        bytes_.assign(cp932);
        keepsFileValue_ = false;
        return true;
    }
    void Clear() {
        bytes_.clear();
        keepsFileValue_ = false;
    }
    const std::string& Bytes() const { return bytes_; }
    bool Empty() const { return bytes_.empty(); }

    // The settings file named a path longer than this can hold: what is held instead was
    // not the user's choice, so a save leaves the file's value as it stands until Assign
    // or Clear sets a path.
    void KeepFileValue() { keepsFileValue_ = true; }
    bool KeepsFileValue() const { return keepsFileValue_; }

    bool operator==(const DictionaryPath&) const = default;

  private:
    std::string bytes_;
    bool keepsFileValue_ = false;
};

// Every persistent setting, and the run flag debugRun. Flags are on only when exactly 1.
struct Settings {
    DictionaryPath dictionaryPath;
    std::int32_t insertRatio = 0;  // tenths, 0..10
    std::int32_t windowRatio = 3;  // sixths of the pane area given to the input pane, 1..5
    std::int32_t blackBackground = 0;
    std::int32_t editReadOnly = 0;  // any non-zero value makes the output pane read-only
    std::int32_t windowX = 0;
    std::int32_t windowY = 0;
    std::int32_t windowWidth = 0;
    std::int32_t windowHeight = 0;
    std::int32_t insertMark = 0;
    std::int32_t useFixedSeed = 0;
    std::uint32_t randomSeed = 0;
    std::int32_t newestRandomSeed = 0;
    std::int32_t debugRun = 0;  // never saved

    bool operator==(const Settings&) const = default;
};

// One persistent setting: where it lives in the settings file, the text read when the
// file does not have it, and the field of the record that holds it. Numbers are read with
// ParseNumberText and written with FormatNumberText; "Data" is the dictionary's path.
struct SettingEntry {
    using Field = std::variant<DictionaryPath Settings::*, std::int32_t Settings::*,
                               std::uint32_t Settings::*>;
    std::string_view section;
    std::string_view key;
    std::string_view defaultText;
    Field field;
    // The window's rectangle: saved from WindowState, and left as it is in the file while
    // the window is minimized or maximized.
    bool windowRectangle = false;
};

// Every persistent setting, in the order the settings file holds them. Adding one is a
// line here and a field in Settings.
// "BlackBackgrownd" is how the settings file has always spelled the key: existing files
// hold it, so it must stay spelled so.
inline constexpr SettingEntry kSettingEntries[] = {
    {"Settings", "Data", "", &Settings::dictionaryPath},
    {"Settings", "Ratio", "4", &Settings::insertRatio},
    {"Window", "WindowRatio", "3", &Settings::windowRatio},
    {"Window", "BlackBackgrownd", "0", &Settings::blackBackground},
    {"Window", "EditReadOnly", "0", &Settings::editReadOnly},
    {"Window", "XPos", "0", &Settings::windowX, true},
    {"Window", "YPos", "0", &Settings::windowY, true},
    {"Window", "Width", "0", &Settings::windowWidth, true},
    {"Window", "Height", "0", &Settings::windowHeight, true},
    {"Debug", "InsertMark", "0", &Settings::insertMark},
    {"Debug", "UseRandom", "0", &Settings::useFixedSeed},
    {"Debug", "RandomSeed", "0", &Settings::randomSeed},
    {"Debug", "NewestRandomSeed", "0", &Settings::newestRandomSeed},
};

// The process-wide record. Written on the user-interface thread only.
extern Settings gSettings;

// What saving needs to know of the main window.
struct WindowState {
    bool minimized = false;
    bool maximized = false;
    // Outer rectangle in screen coordinates.
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    // False when the window system never told the window where it is: there is no
    // rectangle to save.
    bool rectangleKnown = true;
};

inline constexpr const char* kSettingsFileName = "QuilleryMini.ini";
inline constexpr const char* kDefaultDictionaryName = "velmo.dat";

// Where the settings live.
//
// The settings file "QuilleryMini.ini" beside the executable of a copy that is not
// installed (one unpacked or built) is the program's own: it is read, and written when it
// can be. Where it cannot, or in an installed copy (IsInstalledCopy), a per-user file of
// the same name and format (UserSettingsDirectory) takes the writes, and is read over the
// one beside the executable, whose values then serve as the defaults an administrator
// set. The default dictionary "velmo.dat" is always the one beside the executable.
//
// Which file a save writes, decided afresh at each load and save:
//  - in a copy that is not installed, the file beside the executable when it exists and
//    this process may write it, or when there is none and a file can be made in the
//    executable's folder; the per-user file is then not read;
//  - nothing when the file beside the executable was made read-only by its owner (no
//    write permission for the owner, FILE_ATTRIBUTE_READONLY on Windows; seen so by
//    root too): that file holds settings someone chose to keep as they are, and writing
//    them elsewhere would undo that at the next start. It is read alone;
//  - otherwise (an installed copy, which nobody writes into at run time, root included;
//    a folder this user cannot write with no file in it; a file there belonging to
//    someone else that this user may not write; something there that is not a file) the
//    per-user file, read over the one beside the executable. Its folder is made when
//    missing. A per-user file made read-only is left as it is, too.
// Whatever is written goes through ReplaceWritableFileAtomically; a failure changes
// nothing and is not reported.
struct SettingsPlaces {
    std::optional<std::string> programFolder;              // the executable's folder
    std::optional<std::string> userFolder = std::nullopt;  // the per-user folder
};

// The files to read, later ones over earlier ones, and the one to write.
struct SettingsFiles {
    std::vector<std::string> read;
    std::optional<std::string> write;
    bool writeInUserFolder = false;

    bool operator==(const SettingsFiles&) const = default;
};

// What the rule above looks at: the path beside the executable (none when the
// executable's folder is unknown), what a write to it would meet, whether a file can be
// made in its folder, whether that folder is an installed copy, and the per-user path.
struct SettingsPlaceFacts {
    std::optional<std::string> beside;
    FileAccess access = FileAccess::kMissing;
    bool folderWritable = false;
    bool installed = false;
    std::optional<std::string> user;
};

// The rule above, on what was found.
SettingsFiles ChooseSettingsFiles(const SettingsPlaceFacts& facts);

// The rule above, looking at the file system.
SettingsFiles ChooseSettingsFiles(const SettingsPlaces& places);

// The executable's folder and the user's.
SettingsPlaces DefaultSettingsPlaces();

// Fills gSettings from the settings file(s) of DefaultSettingsPlaces.
void LoadSettings();

// Writes gSettings and the window's rectangle to the settings file of
// DefaultSettingsPlaces, replacing it atomically. A failure changes nothing and is not
// reported.
void SaveSettings(const WindowState& window);

// The two for any places; LoadSettings and SaveSettings take DefaultSettingsPlaces.
//
// Loading fills every persistent field of `settings` (debugRun is left alone). A "Data"
// value longer than DictionaryPath::kMaxBytes cannot be held, and a shortened one would
// name another file: it counts as no dictionary, as an empty value does, so the default
// dictionary is probed, and the path is marked so that saving leaves that value alone.
// The default dictionary counts only when the file opens for reading (a folder of that
// name does not) and its path converts to code page 932 within kMaxBytes. With no program
// folder, or one whose paths would be too long (see JoinPath), there is no file beside
// the executable and no default dictionary.
void LoadSettingsFrom(const SettingsPlaces& places, Settings& settings);

// Saving reads the file once, makes the writes in their order in memory and replaces
// the file in one step; "Data" is not written while the path keeps the file's value.
// Returns whether the file was written.
bool SaveSettingsTo(const SettingsPlaces& places, const Settings& settings,
                    const WindowState& window);

// The same two on settings files already read (a page keeps its file in the browser):
// reading takes `files` later over earlier and asks `defaultDictionary` only when "Data"
// gives no dictionary; writing makes the writes of a save in `file`.
void ReadSettings(const std::vector<ProfileDocument>& files,
                  const std::function<std::string()>& defaultDictionary, Settings& settings);
void WriteSettings(const Settings& settings, const WindowState& window, ProfileDocument& file);

}  // namespace quillery
