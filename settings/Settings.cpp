#include "settings/Settings.h"

#include "files/FileIo.h"
#include "settings/FileNames.h"
#include "settings/ExecutableFolder.h"
#include "settings/NumberText.h"
#include "settings/ProfileFile.h"

namespace quillery {

Settings gSettings;

namespace {

constexpr std::string_view kSettingsSection = "Settings";
constexpr std::string_view kWindowSection = "Window";
constexpr std::string_view kDebugSection = "Debug";

// The default dictionary's path in code page 932, or empty when there is none to take.
std::string DefaultDictionary(const std::optional<std::string>& directory) {
    const std::optional<std::string> path = ModulePathIn(directory, kDefaultDictionaryName);
    if (!path || !CanOpenForReading(*path)) {
        return {};
    }
    std::optional<std::string> cp932 = FileSystemNameToCp932(*path);
    if (!cp932 || cp932->size() > DictionaryPath::kMaxBytes) {
        return {};
    }
    return *std::move(cp932);
}

// The settings files read, the later ones over the earlier ones.
class SettingsReader {
  public:
    explicit SettingsReader(const std::vector<std::string>& paths) {
        for (const std::string& path : paths) {
            files_.push_back(ReadProfileFile(path));
        }
    }

    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultText) const {
        for (auto file = files_.rbegin(); file != files_.rend(); ++file) {
            if (auto value = file->Find(section, key)) {
                return *std::move(value);
            }
        }
        return ProfileDocument().GetString(section, key, defaultText);
    }

    std::int32_t Number(std::string_view section, std::string_view key,
                        std::string_view defaultText) const {
        return ParseNumberText(GetString(section, key, defaultText));
    }

  private:
    std::vector<ProfileDocument> files_;
};

}  // namespace

SettingsFiles ChooseSettingsFiles(const std::optional<std::string>& beside, FileAccess access,
                                  bool folderWritable, const std::optional<std::string>& user) {
    SettingsFiles files;
    const bool besideIsWritten = beside && (access == FileAccess::kWritable ||
                                            (access == FileAccess::kMissing && folderWritable));
    if (beside) {
        files.read.push_back(*beside);
    }
    if (besideIsWritten) {
        files.write = beside;
    } else if (!(beside && access == FileAccess::kReadOnly) && user) {
        files.read.push_back(*user);
        files.write = user;
        files.writeInUserFolder = true;
    }
    return files;
}

SettingsFiles ChooseSettingsFiles(const SettingsPlaces& places) {
    const std::optional<std::string> beside = ModulePathIn(places.programFolder, kSettingsFileName);
    const std::optional<std::string> user = ModulePathIn(places.userFolder, kSettingsFileName);
    const FileAccess access = beside ? ProbeFileAccess(*beside) : FileAccess::kUnusable;
    const bool folderWritable =
        beside && access == FileAccess::kMissing && CanCreateFilesIn(*places.programFolder);
    return ChooseSettingsFiles(beside, access, folderWritable, user);
}

SettingsPlaces DefaultSettingsPlaces() {
    return {ExecutableDirectory(), UserSettingsDirectory()};
}

void LoadSettingsFrom(const SettingsPlaces& places, Settings& settings) {
    const SettingsReader file(ChooseSettingsFiles(places).read);

    const std::string data = file.GetString(kSettingsSection, "Data", "");
    if (data.empty() || !settings.dictionaryPath.Assign(data)) {
        // The default dictionary always fits, or is empty.
        settings.dictionaryPath.Assign(DefaultDictionary(places.programFolder));
    }
    settings.insertRatio = file.Number(kSettingsSection, "Ratio", "4");
    settings.windowRatio = file.Number(kWindowSection, "WindowRatio", "3");
    settings.blackBackground = file.Number(kWindowSection, "BlackBackgrownd", "0");
    settings.editReadOnly = file.Number(kWindowSection, "EditReadOnly", "0");
    settings.windowX = file.Number(kWindowSection, "XPos", "0");
    settings.windowY = file.Number(kWindowSection, "YPos", "0");
    settings.windowWidth = file.Number(kWindowSection, "Width", "0");
    settings.windowHeight = file.Number(kWindowSection, "Height", "0");
    settings.insertMark = file.Number(kDebugSection, "InsertMark", "0");
    settings.useFixedSeed = file.Number(kDebugSection, "UseRandom", "0");
    settings.randomSeed = static_cast<std::uint32_t>(file.Number(kDebugSection, "RandomSeed", "0"));
    settings.newestRandomSeed = file.Number(kDebugSection, "NewestRandomSeed", "0");
}

bool SaveSettingsTo(const SettingsPlaces& places, const Settings& settings,
                    const WindowState& window) {
    const SettingsFiles files = ChooseSettingsFiles(places);
    if (!files.write || (files.writeInUserFolder && !MakeFolders(*places.userFolder))) {
        return false;
    }
    const std::string& path = *files.write;
    std::optional<ProfileDocument> file = ReadProfileFileForUpdate(path);
    if (!file) {
        return false;
    }
    // A path holding a line break cannot be written as an entry; the file then keeps the
    // value it had.
    file->SetString(kSettingsSection, "Data", settings.dictionaryPath.Bytes());
    file->SetString(kSettingsSection, "Ratio", FormatNumberText(settings.insertRatio));
    file->SetString(kWindowSection, "WindowRatio", FormatNumberText(settings.windowRatio));
    file->SetString(kWindowSection, "BlackBackgrownd", FormatNumberText(settings.blackBackground));
    file->SetString(kWindowSection, "EditReadOnly", FormatNumberText(settings.editReadOnly));
    if (!window.minimized && !window.maximized) {
        // Differences wrap rather than overflow for a rectangle that does not make sense.
        const auto width =
            static_cast<std::uint32_t>(window.right) - static_cast<std::uint32_t>(window.left);
        const auto height =
            static_cast<std::uint32_t>(window.bottom) - static_cast<std::uint32_t>(window.top);
        file->SetString(kWindowSection, "XPos", FormatNumberText(window.left));
        file->SetString(kWindowSection, "YPos", FormatNumberText(window.top));
        file->SetString(kWindowSection, "Width", FormatNumberText(width));
        file->SetString(kWindowSection, "Height", FormatNumberText(height));
    }
    file->SetString(kDebugSection, "InsertMark", FormatNumberText(settings.insertMark));
    file->SetString(kDebugSection, "UseRandom", FormatNumberText(settings.useFixedSeed));
    file->SetString(kDebugSection, "RandomSeed", FormatNumberText(settings.randomSeed));
    file->SetString(kDebugSection, "NewestRandomSeed", FormatNumberText(settings.newestRandomSeed));
    return !ReplaceWritableFileAtomically(path, file->Serialize());
}

void LoadSettingsFrom(const std::optional<std::string>& directory, Settings& settings) {
    LoadSettingsFrom(SettingsPlaces{directory, std::nullopt}, settings);
}

bool SaveSettingsTo(const std::optional<std::string>& directory, const Settings& settings,
                    const WindowState& window) {
    return SaveSettingsTo(SettingsPlaces{directory, std::nullopt}, settings, window);
}

void LoadSettings() {
    LoadSettingsFrom(DefaultSettingsPlaces(), gSettings);
}

void SaveSettings(const WindowState& window) {
    // Nothing to tell the user: the program ends either way.
    SaveSettingsTo(DefaultSettingsPlaces(), gSettings, window);
}

}  // namespace quillery
