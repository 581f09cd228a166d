// What the page's own script asks of the shared window rules. The page holds one settings
// record, and the settings file's text it came from (kept in the browser), so that a file
// loaded from the desktop goes back out with its other lines unchanged.
#include <emscripten/emscripten.h>

#include <string>
#include <vector>

#include "engine/ConversionRun.h"
#include "settings/FileNames.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"
#include "web/ExportBuffer.h"
#include "windowlogic/AboutAndHelp.h"
#include "windowlogic/Commands.h"
#include "windowlogic/DictionaryName.h"
#include "windowlogic/DroppedFiles.h"
#include "windowlogic/KeyRules.h"
#include "windowlogic/MenuModel.h"
#include "windowlogic/PaneFile.h"
#include "windowlogic/PaneLayout.h"
#include "windowlogic/PaneLook.h"
#include "windowlogic/SeedField.h"
#include "windowlogic/Texts.h"
#include "windowlogic/WindowTitle.h"

namespace {

using quillery::web::JsonString;
using quillery::web::SetResult;
using quillery::web::Utf16Arg;

quillery::Settings gRecord;
quillery::ProfileDocument gFile;

std::string Field(std::string_view name, const std::string& json) {
    return "\"" + std::string(name) + "\":" + json;
}
std::string Flag(bool value) {
    return value ? "true" : "false";
}

std::string EntryJson(const quillery::MenuEntry& entry) {
    std::string kind = entry.kind == quillery::MenuEntry::Kind::Popup  ? "popup"
                       : entry.kind == quillery::MenuEntry::Kind::Item ? "item"
                                                                       : "separator";
    std::string out = "{" + Field("kind", "\"" + kind + "\"") + "," +
                      Field("label", JsonString(entry.label)) + "," +
                      Field("id", std::to_string(static_cast<int>(entry.id))) + "," +
                      Field("checkable", Flag(entry.checkable)) + ",\"children\":[";
    for (std::size_t i = 0; i < entry.children.size(); ++i) {
        out += (i ? "," : "") + EntryJson(entry.children[i]);
    }
    return out + "]}";
}

}  // namespace

extern "C" {

// Reads the record from a settings file's bytes (none: the defaults), the bundled
// dictionary standing for the one beside the program.
EMSCRIPTEN_KEEPALIVE void qm_load_settings(const char* bytes, int size) {
    gFile = quillery::ProfileDocument::Parse(quillery::web::BytesArg(bytes, size));
    quillery::Settings record;
    quillery::ReadSettings(
        {gFile}, [] { return std::string(quillery::kDefaultDictionaryName); }, record);
    gRecord = record;
}

// The settings file's bytes with the record written in, as a save writes them. A page has
// no window rectangle: the file's own stays.
EMSCRIPTEN_KEEPALIVE void qm_settings_file() {
    quillery::WindowState window;
    window.rectangleKnown = false;
    quillery::WriteSettings(gRecord, window, gFile);
    SetResult(gFile.Serialize());
}

// The menu bar as JSON: the tree, then each item's state.
EMSCRIPTEN_KEEPALIVE void qm_menu(int busy) {
    std::string out = "{\"tree\":[";
    const auto& tree = quillery::MainMenuTree();
    for (std::size_t i = 0; i < tree.size(); ++i) {
        out += (i ? "," : "") + EntryJson(tree[i]);
    }
    out += "],\"states\":[";
    const auto states = quillery::MenuStates(gRecord, busy != 0);
    for (std::size_t i = 0; i < states.size(); ++i) {
        const auto& s = states[i];
        out += std::string(i ? "," : "") + "{" +
               Field("id", std::to_string(static_cast<int>(s.id))) + "," +
               Field("label", JsonString(s.label)) + "," + Field("checked", Flag(s.checked)) + "," +
               Field("enabled", Flag(s.enabled)) + "}";
    }
    SetResult(out + "]}");
}

EMSCRIPTEN_KEEPALIVE int qm_apply_command(int id, int runActive) {
    return static_cast<int>(
        quillery::ApplyCommand(gRecord, static_cast<quillery::CommandId>(id), runActive != 0));
}

// What a key does in the page, by the window's own key rules: `key` is a RuledKey.
EMSCRIPTEN_KEEPALIVE int qm_key_action(int key, int ctrl, int shift, int inPane, int paneWritable) {
    return static_cast<int>(quillery::MainWindowKeyAction(static_cast<quillery::RuledKey>(key),
                                                          ctrl != 0, shift != 0, inPane != 0,
                                                          paneWritable != 0));
}

// Everything the window shows that follows the record, as JSON. A page never disables its
// panes (a run refuses typing instead), so they look as enabled ones do.
EMSCRIPTEN_KEEPALIVE void qm_view(int paneAreaHeight) {
    const auto split = quillery::SplitPaneHeights(paneAreaHeight, gRecord.windowRatio);
    const bool readOnly = quillery::OutputPaneReadOnly(gRecord);
    const auto look = [](quillery::PaneLook l) {
        return std::string(l == quillery::PaneLook::Black  ? "\"black\""
                           : l == quillery::PaneLook::Face ? "\"face\""
                                                           : "\"usual\"");
    };
    SetResult("{" + Field("title", JsonString(quillery::WindowTitle(gRecord))) + "," +
              Field("inputHeight", std::to_string(split.inputHeight)) + "," +
              Field("outputHeight", std::to_string(split.outputHeight)) + "," +
              Field("outputReadOnly", Flag(readOnly)) + "," +
              Field("inputLook", look(quillery::PaneLookFor(gRecord, false, true))) + "," +
              Field("outputLook", look(quillery::PaneLookFor(gRecord, readOnly, true))) + "}");
}

// What a run takes from the record.
EMSCRIPTEN_KEEPALIVE void qm_run_request() {
    const std::string& path = gRecord.dictionaryPath.Bytes();
    SetResult("{" + Field("pathEmpty", Flag(path.empty())) + "," +
              Field("dictionaryPath", JsonString(quillery::DisplayFromCp932(path))) + "," +
              Field("insertRatio", std::to_string(gRecord.insertRatio)) + "," +
              Field("debugRun", std::to_string(gRecord.debugRun)) + "," +
              Field("useFixedSeed", std::to_string(gRecord.useFixedSeed)) + "," +
              Field("insertMark", std::to_string(gRecord.insertMark)) + "," +
              Field("randomSeed", std::to_string(gRecord.randomSeed)) + "}");
}

EMSCRIPTEN_KEEPALIVE void qm_record_newest_seed(int seed) {
    gRecord.newestRandomSeed = seed;
}

// The debug dialog's fields as it opens.
EMSCRIPTEN_KEEPALIVE void qm_debug_fields() {
    const auto options = quillery::DebugOptionsFrom(gRecord);
    SetResult("{" + Field("seed", JsonString(quillery::SeedFieldText(options.randomSeed))) + "," +
              Field("useFixedSeed", Flag(options.useFixedSeed)) + "," +
              Field("insertMark", Flag(options.insertMark)) + "," +
              Field("newest", JsonString(quillery::NewestSeedText(options.newestRandomSeed))) +
              "}");
}

EMSCRIPTEN_KEEPALIVE void qm_seed_copy_text(const char16_t* text, int count) {
    SetResult(quillery::SeedCopyText(Utf16Arg(text, count)));
}

// OK in the debug dialog: 1 when the seed was taken (the next run is a debug run), 0 when
// refused (the result holds the message).
EMSCRIPTEN_KEEPALIVE int qm_debug_ok(const char16_t* seedText, int count, int useFixedSeed,
                                     int insertMark) {
    const auto seed = quillery::ParseSeedField(Utf16Arg(seedText, count));
    if (!seed) {
        SetResult(std::u16string_view(quillery::texts::kSeedRefused));
        return 0;
    }
    quillery::DebugOptions options = quillery::DebugOptionsFrom(gRecord);
    options.randomSeed = *seed;
    options.useFixedSeed = useFixedSeed != 0;
    options.insertMark = insertMark != 0;
    quillery::StoreDebugOptions(options, gRecord);
    return 1;
}

// A dictionary file the user chose, by its name: 1 when taken, 0 when refused (the result
// holds the message).
EMSCRIPTEN_KEEPALIVE int qm_choose_dictionary(const char16_t* name, int count) {
    const auto check = quillery::CheckChosenDictionaryFile(Utf16Arg(name, count));
    if (!check.bytes) {
        SetResult(check.refusal);
        return 0;
    }
    gRecord.dictionaryPath.Assign(*check.bytes);
    return 1;
}

// Whether a dictionary's bytes are read as UTF-8: by the rules for dropped text (a run
// refuses a marked file that is not valid UTF-8).
EMSCRIPTEN_KEEPALIVE int qm_dictionary_is_utf8(const char* bytes, int size) {
    return quillery::IsUtf8ByDropRules(quillery::web::BytesArg(bytes, size)) ? 1 : 0;
}

// A pane's text (LF or CR LF between lines) as a saved file's bytes.
EMSCRIPTEN_KEEPALIVE void qm_pane_file(const char16_t* text, int count) {
    SetResult(
        quillery::PaneFileBytes(quillery::WithCrLf(Utf16Arg(text, count), quillery::LoneCr::Keep)));
}

// Asked with a dropped file's size before it is read: 1 with the message that refuses the
// drop as the result when it makes too much after `before` bytes, 0 when it fits.
EMSCRIPTEN_KEEPALIVE int qm_drop_size_refusal(const char16_t* name, int nameCount, double before,
                                              double size) {
    const auto refusal =
        quillery::DropSizeRefusal(Utf16Arg(name, nameCount), static_cast<std::uint64_t>(before),
                                  static_cast<std::uint64_t>(size));
    if (refusal) {
        SetResult(*refusal);
    }
    return refusal ? 1 : 0;
}

// A file dropped on the input pane, after `before` bytes of the files ahead of it in the
// same drop: 1 with its text as the result, or 0 with the message that refuses the drop.
EMSCRIPTEN_KEEPALIVE int qm_dropped_file(const char16_t* name, int nameCount, const char* bytes,
                                         int size, double before) {
    const auto dropped =
        quillery::DroppedFileText(Utf16Arg(name, nameCount), quillery::web::BytesArg(bytes, size),
                                  static_cast<std::uint64_t>(before));
    SetResult(dropped.text ? std::u16string_view(*dropped.text)
                           : std::u16string_view(dropped.refusal));
    return dropped.text ? 1 : 0;
}

// The page's fixed texts as JSON, from the one place both windows take them.
EMSCRIPTEN_KEEPALIVE void qm_texts(const char16_t* helpAddress, int count) {
    namespace t = quillery::texts;
    const std::pair<const char*, std::u16string> texts[] = {
        {"outputPlaceholder", t::kOutputPlaceholder},
        {"inputPaneName", t::kInputPaneName},
        {"inputPaneDescription", t::kInputPaneDescription},
        {"outputPaneName", t::kOutputPaneName},
        {"outputPaneDescription", t::kOutputPaneDescription},
        {"statusBarName", t::kStatusBarName},
        {"ok", t::kOk},
        {"cancel", t::kCancel},
        {"dictionaryCaption", t::kDictionaryCaption},
        {"dictionaryFieldLabel", t::kDictionaryFieldLabel},
        {"dictionaryExplanation", t::kDictionaryExplanation},
        {"browseName", t::kBrowseName},
        {"browseDescription", t::kBrowseDescription},
        {"debugCaption", t::kDebugCaption},
        {"insertMarkCheck", t::kInsertMarkCheck},
        {"fixedSeedCheck", t::kFixedSeedCheck},
        {"seedLabel", t::kSeedLabel},
        {"newestSeedLabel", t::kNewestSeedLabel},
        {"copySeedButton", t::kCopySeedButton},
        {"seedFieldDescription", t::kSeedFieldDescription},
        {"aboutCaption", t::kAboutCaption},
        {"aboutTextName", t::kAboutTextName},
        {"aboutText", quillery::AboutText(QUILLERY_DISPLAY_VERSION, Utf16Arg(helpAddress, count))},
        {"helpPrompt", quillery::HelpPrompt(Utf16Arg(helpAddress, count))},
        {"yes", t::kYes},
        {"no", t::kNo},
        {"browseButton", t::kBrowseButton},
        {"pageBundledDictionary", t::kPageBundledDictionary},
        {"pageLoadSettings", t::kPageLoadSettings},
        {"pageSaveSettings", t::kPageSaveSettings},
        {"pageSettingsNote", t::kPageSettingsNote},
        {"pageUnreadableSettings", t::kPageUnreadableSettings},
    };
    std::string out = "{";
    for (const auto& [name, text] : texts) {
        out += (out.size() > 1 ? "," : "") + Field(name, JsonString(text));
    }
    SetResult(out + "}");
}

}  // extern "C"
