// The profile reader and writer on an arbitrary settings file, and the settings record
// loaded from it, saved and loaded again in a folder of its own.
//
// Input: a 16-bit mask, a length, flags (minimised, maximised, a default dictionary), the
// window's left, top, right and bottom (32-bit little endian), then the file. Key k is
// written with the value read of the next key when bit k of the mask is set, otherwise
// with a slice of the file of that length.
//
// Checked: parsing and writing back gives the same bytes; a write changes only the value
// on its key's line or adds an entry (and section) ending in the file's first line break
// (CR LF when it has none), and no other line; accepted
// values read back, refused ones read as before; the record loaded, saved (the rectangle
// only when placed) and loaded again is the same, a second save changes nothing and no
// temporary file stays.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "FuzzCheck.h"
#include "engine/Cp932Text.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"
#include "tests/support/Portable.h"

namespace {

using namespace quillery;

constexpr auto& kKeys = kSettingEntries;
constexpr std::size_t kKeyCount = std::size(kKeys);

struct FileLine {
    std::string text;
    std::string ending;  // "\r\n", "\n", "\r", or for a last line ""
};

// CR LF, LF and CR alone each end a line.
std::vector<FileLine> Lines(std::string_view bytes) {
    std::vector<FileLine> lines;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t textEnd = std::min(bytes.find_first_of("\r\n", start), bytes.size());
        const std::size_t end = textEnd == bytes.size()
                                    ? textEnd
                                    : textEnd + (bytes.substr(textEnd, 2) == "\r\n" ? 2 : 1);
        lines.push_back({std::string(bytes.substr(start, textEnd - start)),
                         std::string(bytes.substr(textEnd, end - textEnd))});
        start = end;
    }
    return lines;
}

// The line break lines added to `bytes` end with.
std::string AddedLineBreak(std::string_view bytes) {
    for (const FileLine& line : Lines(bytes)) {
        if (!line.ending.empty()) {
            return line.ending;
        }
    }
    return "\r\n";
}

// Each line of `before` stands in `after`, in order and the same (a last line may gain
// the added lines' break), unless `other` takes its place. `other` gets every other line
// of `after`, the index of the next line of `before` and whether all were met; it returns
// whether the line replaces that next one (then keeping its line break), else the line
// must end in the added lines' break.
template <typename Other>
void CheckLines(std::string_view before, std::string_view after, Other other) {
    const std::vector<FileLine> in = Lines(before);
    const std::string added = AddedLineBreak(before);
    const auto SameEnding = [&](const FileLine& was, std::string_view ending) {
        return was.ending == ending || (was.ending.empty() && ending == added);
    };
    std::size_t next = 0;
    for (const FileLine& line : Lines(after)) {
        if (next < in.size() && in[next].text == line.text && SameEnding(in[next], line.ending)) {
            ++next;
            continue;
        }
        if (other(line.text, next, next == in.size())) {
            FUZZ_CHECK(next < in.size());
            FUZZ_CHECK(SameEnding(in[next], line.ending));
            ++next;
        } else {
            // CR alone before an LF would join it: that one line takes CR LF.
            FUZZ_CHECK(line.ending == added || (added == "\r" && line.ending == "\r\n"));
        }
    }
    FUZZ_CHECK(next == in.size());
}

// Whether `text` is the entry line `original` of `key` with `value` written into it: the
// key as it was spelt and "=" stay, and the line reads back as the value.
bool RewrittenFrom(std::string_view text, std::string_view original, std::string_view key,
                   std::string_view value) {
    const std::size_t equals = FindCp932Char(original, '=');
    return equals != std::string_view::npos &&
           text.substr(0, equals + 1) == original.substr(0, equals + 1) &&
           ProfileDocument::Parse("[s]\r\n" + std::string(text)).Find("s", key) == value;
}

void CheckDocument(std::string_view file, std::uint16_t mask, std::size_t sliceLength) {
    const ProfileDocument original = ProfileDocument::Parse(file);
    FUZZ_CHECK(original.Serialize() == file);

    ProfileDocument document = original;
    std::optional<std::string> read[kKeyCount];
    std::string values[kKeyCount];
    bool accepted[kKeyCount];
    for (std::size_t k = 0; k < kKeyCount; ++k) {
        read[k] = original.Find(kKeys[k].section, kKeys[k].key);
    }
    for (std::size_t k = 0; k < kKeyCount; ++k) {
        const std::size_t from = (k * 131) % (file.size() + 1);
        values[k] = mask & (1u << k) ? read[(k + 1) % kKeyCount].value_or("")
                                     : std::string(file.substr(from, sliceLength));
        accepted[k] = document.SetString(kKeys[k].section, kKeys[k].key, values[k]);
    }

    const std::string serialized = document.Serialize();
    const ProfileDocument reread = ProfileDocument::Parse(serialized);
    for (std::size_t k = 0; k < kKeyCount; ++k) {
        const std::optional<std::string> value = reread.Find(kKeys[k].section, kKeys[k].key);
        FUZZ_CHECK(value == (accepted[k] ? std::optional<std::string>(values[k]) : read[k]));
    }
    // Every other line survives: a changed line is a written key's entry with its new value
    // in the old line's place, or, ending in CR LF, an added entry or section header.
    // A byte-order mark stays first; the lines are those after it.
    const std::size_t mark = file.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    FUZZ_CHECK(serialized.compare(0, mark, file.substr(0, mark)) == 0);
    const std::vector<FileLine> in = Lines(file.substr(mark));
    CheckLines(file.substr(mark), std::string_view(serialized).substr(mark),
               [&](const std::string& text, std::size_t next, bool atEnd) {
                   for (std::size_t k = 0; k < kKeyCount; ++k) {
                       if (accepted[k] && read[k] && next < in.size() &&
                           RewrittenFrom(text, in[next].text, kKeys[k].key, values[k])) {
                           return true;
                       }
                   }
                   const bool added = std::any_of(
                       std::begin(kKeys), std::end(kKeys), [&](const SettingEntry& key) {
                           const std::string start = std::string(key.key) + "=";
                           return (atEnd && text == "[" + std::string(key.section) + "]") ||
                                  (text.starts_with(start) &&
                                   RewrittenFrom(text, start, key.key,
                                                 reread.Find(key.section, key.key).value_or("\n")));
                       });
                   FUZZ_CHECK(added);
                   return false;
               });
}

// tmpfs where there is one: every input saves, with its fsyncs.
const std::string& Folder() {
    static const test::TempDir dir(std::filesystem::is_directory("/dev/shm")
                                       ? "/dev/shm"
                                       : std::filesystem::temp_directory_path());
    static const std::string name = dir.Name();
    return name;
}

Settings Loaded(const std::string& folder) {
    Settings settings;
    LoadSettingsFrom(SettingsPlaces{folder}, settings);
    return settings;
}

void CheckSettingsFile(std::string_view file, std::uint8_t flags, const WindowState& window) {
    const std::string& folder = Folder();
    const std::string path = folder + "/" + kSettingsFileName;
    const std::string dictionary = folder + "/" + kDefaultDictionaryName;
    std::filesystem::remove(dictionary);
    if (flags & 4) {
        test::WriteBytes(dictionary, "X\r\n");
    }
    test::WriteBytes(path, file);

    const Settings first = Loaded(folder);
    FUZZ_CHECK(SaveSettingsTo(SettingsPlaces{folder}, first, window));
    const Settings second = Loaded(folder);

    // A placed window's rectangle replaces the one read, its sizes modulo 2^32.
    Settings e = first;
    const bool placed = !window.minimized && !window.maximized;
    if (placed) {
        std::tie(e.windowX, e.windowY, e.windowWidth, e.windowHeight) =
            std::tuple(window.left, window.top,
                       static_cast<std::int32_t>(std::int64_t{window.right} - window.left),
                       static_cast<std::int32_t>(std::int64_t{window.bottom} - window.top));
    }
    FUZZ_CHECK(second == e);

    const std::string saved = test::ReadBytes(path);
    FUZZ_CHECK(SaveSettingsTo(SettingsPlaces{folder}, second, window));
    FUZZ_CHECK(test::ReadBytes(path) == saved);
    FUZZ_CHECK(test::NamesIn(folder).size() == (flags & 4 ? 2u : 1u));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillery::fuzz::Reader reader(data, size);
    const std::uint16_t mask = reader.Uint16();
    const std::size_t sliceLength = reader.Byte();
    const std::uint8_t flags = reader.Byte();
    WindowState window{(flags & 1) != 0, (flags & 2) != 0};
    for (std::int32_t* side : {&window.left, &window.top, &window.right, &window.bottom}) {
        *side = static_cast<std::int32_t>(reader.Uint32());
    }
    const std::string_view file = reader.Rest();

    CheckDocument(file, mask, sliceLength);
    CheckSettingsFile(file, flags, window);
    return 0;
}
