#include "settings/Settings.h"

#include "settings/FileIo.h"
#include "settings/FileNames.h"
#include "settings/ModulePath.h"
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

std::int32_t ReadNumber(const ProfileDocument& file, std::string_view section, std::string_view key,
                        std::string_view defaultText) {
    return ParseNumberText(file.GetString(section, key, defaultText));
}

}  // namespace

void LoadSettingsFrom(const std::optional<std::string>& directory, Settings& settings) {
    const std::optional<std::string> path = ModulePathIn(directory, kSettingsFileName);
    const ProfileDocument file = path ? ReadProfileFile(*path) : ProfileDocument();

    const std::string data = file.GetString(kSettingsSection, "Data", "");
    if (data.empty() || !settings.dictionaryPath.Assign(data)) {
        // The default dictionary always fits, or is empty.
        settings.dictionaryPath.Assign(DefaultDictionary(directory));
    }
    settings.insertRatio = ReadNumber(file, kSettingsSection, "Ratio", "4");
    settings.windowRatio = ReadNumber(file, kWindowSection, "WindowRatio", "3");
    settings.blackBackground = ReadNumber(file, kWindowSection, "BlackBackgrownd", "0");
    settings.editReadOnly = ReadNumber(file, kWindowSection, "EditReadOnly", "0");
    settings.windowX = ReadNumber(file, kWindowSection, "XPos", "0");
    settings.windowY = ReadNumber(file, kWindowSection, "YPos", "0");
    settings.windowWidth = ReadNumber(file, kWindowSection, "Width", "0");
    settings.windowHeight = ReadNumber(file, kWindowSection, "Height", "0");
    settings.insertMark = ReadNumber(file, kDebugSection, "InsertMark", "0");
    settings.useFixedSeed = ReadNumber(file, kDebugSection, "UseRandom", "0");
    settings.randomSeed =
        static_cast<std::uint32_t>(ReadNumber(file, kDebugSection, "RandomSeed", "0"));
    settings.newestRandomSeed = ReadNumber(file, kDebugSection, "NewestRandomSeed", "0");
}

bool SaveSettingsTo(const std::optional<std::string>& directory, const Settings& settings,
                    const WindowState& window) {
    const std::optional<std::string> path = ModulePathIn(directory, kSettingsFileName);
    if (!path) {
        return false;
    }
    std::optional<ProfileDocument> file = ReadProfileFileForUpdate(*path);
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
    return WriteProfileFile(*path, *file);
}

void LoadSettings() {
    LoadSettingsFrom(ExecutableDirectory(), gSettings);
}

void SaveSettings(const WindowState& window) {
    // Nothing to tell the user: the program ends either way.
    SaveSettingsTo(ExecutableDirectory(), gSettings, window);
}

}  // namespace quillery
