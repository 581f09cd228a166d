#include "settings/Settings.h"

#include <cstdio>
#include <functional>
#include <type_traits>
#include <variant>

#include "engine/KeywordList.h"
#include "files/FileIo.h"
#include "files/Paths.h"
#include "settings/ExecutableFolder.h"
#include "settings/FileNames.h"
#include "settings/NumberText.h"
#include "settings/ProfileFile.h"

namespace quillery {

Settings gSettings;

namespace {

// The default dictionary's path in code page 932, or empty when there is none to take.
std::string DefaultDictionary(const std::optional<std::string>& directory) {
    const std::optional<std::string> path = JoinPath(directory, kDefaultDictionaryName);
    // It counts only when a run could open it.
    std::FILE* file = path ? OpenDictionaryFile(*path) : nullptr;
    if (file == nullptr) {
        return {};
    }
    std::fclose(file);
    std::optional<std::string> cp932 = FileSystemNameToCp932(*path);
    if (!cp932 || cp932->size() > DictionaryPath::kMaxBytes) {
        return {};
    }
    return *std::move(cp932);
}

// A setting's value as the file holds it.
std::string ValueText(const DictionaryPath& path) {
    return path.Bytes();
}
template <typename Number>
std::string ValueText(Number value) {
    return FormatNumberText(value);
}

// The settings files read, the later ones over the earlier ones.
class SettingsReader {
  public:
    explicit SettingsReader(const std::vector<ProfileDocument>& files) : files_(files) {}

    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultText) const {
        for (auto file = files_.rbegin(); file != files_.rend(); ++file) {
            if (auto value = file->Find(section, key)) {
                return *std::move(value);
            }
        }
        return ProfileDocument().GetString(section, key, defaultText);
    }

  private:
    const std::vector<ProfileDocument>& files_;
};

}  // namespace

SettingsFiles ChooseSettingsFiles(const SettingsPlaceFacts& facts) {
    SettingsFiles files;
    const auto& beside = facts.beside;
    const bool besideIsWritten = beside && !facts.installed &&
                                 (facts.access == FileAccess::kWritable ||
                                  (facts.access == FileAccess::kMissing && facts.folderWritable));
    if (beside) {
        files.read.push_back(*beside);
    }
    if (besideIsWritten) {
        files.write = beside;
    } else if (!(beside && facts.access == FileAccess::kReadOnly) && facts.user) {
        files.read.push_back(*facts.user);
        files.write = facts.user;
        files.writeInUserFolder = true;
    }
    return files;
}

SettingsFiles ChooseSettingsFiles(const SettingsPlaces& places) {
    SettingsPlaceFacts facts;
    facts.beside = JoinPath(places.programFolder, kSettingsFileName);
    facts.user = JoinPath(places.userFolder, kSettingsFileName);
    if (facts.beside) {
        facts.access = ProbeFileAccess(*facts.beside);
        facts.installed = IsInstalledCopy(*places.programFolder);
        // Only asked where it decides something.
        facts.folderWritable = facts.access == FileAccess::kMissing && !facts.installed &&
                               CanCreateFilesIn(*places.programFolder);
    } else {
        facts.access = FileAccess::kUnusable;
    }
    return ChooseSettingsFiles(facts);
}

SettingsPlaces DefaultSettingsPlaces() {
    return {ExecutableDirectory(), UserSettingsDirectory()};
}

void LoadSettingsFrom(const SettingsPlaces& places, Settings& settings) {
    std::vector<ProfileDocument> files;
    for (const std::string& path : ChooseSettingsFiles(places).read) {
        files.push_back(ReadProfileFile(path));
    }
    ReadSettings(
        files, [&] { return DefaultDictionary(places.programFolder); }, settings);
}

void ReadSettings(const std::vector<ProfileDocument>& files,
                  const std::function<std::string()>& defaultDictionary, Settings& settings) {
    const SettingsReader file(files);

    for (const SettingEntry& entry : kSettingEntries) {
        const std::string text = file.GetString(entry.section, entry.key, entry.defaultText);
        std::visit(
            [&](auto field) {
                auto& value = settings.*field;
                using Value = std::remove_reference_t<decltype(value)>;
                if constexpr (std::is_same_v<Value, DictionaryPath>) {
                    if (text.empty() || !value.Assign(text)) {
                        // The default dictionary always fits, or is empty.
                        value.Assign(defaultDictionary());
                        if (!text.empty()) {
                            value.KeepFileValue();
                        }
                    }
                } else {
                    value = static_cast<Value>(ParseNumberText(text));
                }
            },
            entry.field);
    }
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
    WriteSettings(settings, window, *file);
    return !ReplaceWritableFileAtomically(path, file->Serialize());
}

void WriteSettings(const Settings& settings, const WindowState& window, ProfileDocument& file) {
    Settings saved = settings;
    const bool rectangleKnown = window.rectangleKnown && !window.minimized && !window.maximized;
    if (rectangleKnown) {
        // Differences wrap rather than overflow for a rectangle that does not make sense.
        saved.windowX = window.left;
        saved.windowY = window.top;
        saved.windowWidth = static_cast<std::int32_t>(static_cast<std::uint32_t>(window.right) -
                                                      static_cast<std::uint32_t>(window.left));
        saved.windowHeight = static_cast<std::int32_t>(static_cast<std::uint32_t>(window.bottom) -
                                                       static_cast<std::uint32_t>(window.top));
    }
    for (const SettingEntry& entry : kSettingEntries) {
        if (entry.windowRectangle && !rectangleKnown) {
            continue;
        }
        std::visit(
            [&](auto field) {
                if constexpr (std::is_same_v<decltype(field), DictionaryPath Settings::*>) {
                    if ((saved.*field).KeepsFileValue()) {
                        return;
                    }
                }
                file.SetString(entry.section, entry.key, ValueText(saved.*field));
            },
            entry.field);
    }
}

void LoadSettings() {
    LoadSettingsFrom(DefaultSettingsPlaces(), gSettings);
}

void SaveSettings(const WindowState& window) {
    // Nothing to tell the user: the program ends either way.
    SaveSettingsTo(DefaultSettingsPlaces(), gSettings, window);
}

}  // namespace quillery
