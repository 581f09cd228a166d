// The profile reader and writer on an arbitrary settings file, and the settings record
// loaded from it, saved and loaded again in a folder of its own.
//
// Input layout: bytes 0..1 a mask, byte 2 a length, byte 3 flags, bytes 4..19 a window
// rectangle (left, top, right, bottom, little endian), then the settings file. For key k
// of the thirteen, bit k of the mask writes the value just read of the next key (a value
// the program could have written), a clear bit writes a slice of the file of the given
// length (anything at all). Flag bits: 0 minimised, 1 maximised, 2 a default dictionary
// beside the settings file.
//
// Properties checked beyond "no crash":
//  - the file parsed and written unchanged is the same bytes;
//  - a key that is missing reads as its default text;
//  - writing a key replaces exactly the line it was read from (rewritten as key=value
//    with CR LF), or adds one entry, and a missing section is added at the end of the
//    file; every other line stays byte for byte, a last line without a line break at
//    most gaining CR LF;
//  - after writing every key and reading the result again, each value that was accepted
//    reads back as written, each refused one as it was; the lines the program does not
//    own survive byte for byte and in order, and nothing but the entries written and
//    their sections is added;
//  - the settings loaded, saved and loaded again are the same record (the window
//    rectangle replaced by the one saved unless minimised or maximised); the file saved
//    is the file read with the thirteen (or nine) values written into it; saving again
//    changes nothing; no temporary file stays behind.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "settings/NumberText.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"

namespace {

using namespace quillery;

struct Key {
    std::string_view section;
    std::string_view key;
    std::string_view defaultText;
};

constexpr Key kKeys[] = {
    {"Settings", "Data", ""},
    {"Settings", "Ratio", "4"},
    {"Window", "WindowRatio", "3"},
    {"Window", "BlackBackgrownd", "0"},
    {"Window", "EditReadOnly", "0"},
    {"Window", "XPos", "0"},
    {"Window", "YPos", "0"},
    {"Window", "Width", "0"},
    {"Window", "Height", "0"},
    {"Debug", "InsertMark", "0"},
    {"Debug", "UseRandom", "0"},
    {"Debug", "RandomSeed", "0"},
    {"Debug", "NewestRandomSeed", "0"},
};
constexpr std::size_t kKeyCount = std::size(kKeys);

struct FileLine {
    std::string text;
    std::string ending;  // "\r\n", "\n", or for a last line "\r" or ""
};

std::vector<FileLine> Lines(std::string_view bytes) {
    std::vector<FileLine> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t lf = bytes.find('\n', start);
        const std::size_t end = lf == std::string_view::npos ? bytes.size() : lf + 1;
        std::string line(bytes.substr(start, end - start));
        std::size_t textEnd = line.size();
        if (textEnd > 0 && line[textEnd - 1] == '\n') {
            --textEnd;
        }
        if (textEnd > 0 && line[textEnd - 1] == '\r') {
            --textEnd;
        }
        lines.push_back({line.substr(0, textEnd), line.substr(textEnd)});
        start = end;
    }
    return lines;
}

// An original line as it may stand in the output: the same, or given a line break.
bool Survives(const FileLine& original, const FileLine& output) {
    if (original.text != output.text) {
        return false;
    }
    return original.ending == output.ending ||
           (original.ending.find('\n') == std::string::npos && output.ending == "\r\n");
}

// Every line of `before` outside `owned` stands in `after`, in order; every other line
// of `after` is one of `written` with CR LF; `after` has `added` lines more than `before`
// (the owned lines are rewritten in place).
void CheckOtherLinesSurvive(std::string_view before, std::string_view after,
                            const std::set<std::size_t>& owned,
                            const std::set<std::string>& written, std::size_t added) {
    const std::vector<FileLine> in = Lines(before);
    const std::vector<FileLine> out = Lines(after);
    FUZZ_CHECK(out.size() == in.size() + added);
    std::size_t next = 0;  // the next line of `in` that must survive
    auto skipOwned = [&] {
        while (next < in.size() && owned.count(next) > 0) {
            ++next;
        }
    };
    skipOwned();
    for (const FileLine& line : out) {
        if (next < in.size() && Survives(in[next], line)) {
            ++next;
            skipOwned();
            continue;
        }
        FUZZ_CHECK(line.ending == "\r\n" && written.count(line.text) > 0);
    }
    FUZZ_CHECK(next == in.size());
}

std::string Header(std::string_view section) {
    return "[" + std::string(section) + "]";
}
std::string Entry(const Key& key, std::string_view value) {
    return std::string(key.key) + "=" + std::string(value);
}

// Which line each key is read from, and which sections the file lacks: found by writing
// every key at once with a value of its own, which no line of the file holds.
struct Ownership {
    std::optional<std::size_t> line[kKeyCount];
    std::set<std::string_view> missingSections;
};

Ownership CheckMarkedWrite(std::string_view file,
                           const std::optional<std::string> (&read)[kKeyCount]) {
    std::string marker[kKeyCount];
    ProfileDocument document = ProfileDocument::Parse(file);
    for (std::size_t k = 0; k < kKeyCount; ++k) {
        for (int n = 0; marker[k].empty() || file.find(marker[k]) != std::string_view::npos; ++n) {
            marker[k] = "\x7F" + std::to_string(k) + "#" + std::to_string(n);
        }
        FUZZ_CHECK(document.SetString(kKeys[k].section, kKeys[k].key, marker[k]));
    }
    for (std::size_t k = 0; k < kKeyCount; ++k) {
        FUZZ_CHECK(document.Find(kKeys[k].section, kKeys[k].key) == marker[k]);
    }

    const std::vector<FileLine> in = Lines(file);
    const std::vector<FileLine> out = Lines(document.Serialize());
    Ownership result;
    std::size_t next = 0;  // the next line of the file still to be met
    std::size_t added = 0;
    for (const FileLine& line : out) {
        std::optional<std::size_t> key;
        for (std::size_t k = 0; k < kKeyCount && !key; ++k) {
            if (line.text == Entry(kKeys[k], marker[k])) {
                key = k;
            }
        }
        if (key) {
            // A key that was read replaces its line where it stands; any other is added.
            FUZZ_CHECK(line.ending == "\r\n");
            if (read[*key]) {
                FUZZ_CHECK(next < in.size());
                result.line[*key] = next++;
            } else {
                ++added;
            }
            continue;
        }
        if (next < in.size() && Survives(in[next], line)) {
            ++next;
            continue;
        }
        // Otherwise the header of a section that was missing, added at the end.
        FUZZ_CHECK(next == in.size() && line.ending == "\r\n");
        bool header = false;
        for (const Key& k : kKeys) {
            if (line.text == Header(k.section) && result.missingSections.insert(k.section).second) {
                header = true;
                break;
            }
        }
        FUZZ_CHECK(header);
    }
    FUZZ_CHECK(next == in.size());
    std::size_t unread = 0;
    for (std::size_t k = 0; k < kKeyCount; ++k) {
        unread += read[k] ? 0 : 1;
    }
    FUZZ_CHECK(added == unread);
    return result;
}

void CheckDocument(std::string_view file, std::uint16_t mask, std::size_t sliceLength) {
    const ProfileDocument original = ProfileDocument::Parse(file);
    FUZZ_CHECK(original.Serialize() == file);

    std::optional<std::string> read[kKeyCount];
    for (std::size_t k = 0; k < kKeyCount; ++k) {
        read[k] = original.Find(kKeys[k].section, kKeys[k].key);
        if (!read[k]) {
            FUZZ_CHECK(original.GetString(kKeys[k].section, kKeys[k].key, kKeys[k].defaultText) ==
                       kKeys[k].defaultText);
        }
    }

    const Ownership ownership = CheckMarkedWrite(file, read);
    const std::set<std::string_view>& missingSections = ownership.missingSections;

    ProfileDocument document = original;
    std::string values[kKeyCount];
    bool accepted[kKeyCount];
    std::set<std::size_t> owned;  // the lines rewritten in place
    std::set<std::string> written;
    std::set<std::string_view> sectionsAdded;
    std::size_t added = 0;
    for (std::size_t k = 0; k < kKeyCount; ++k) {
        if (mask & (1u << k)) {
            values[k] = read[(k + 1) % kKeyCount].value_or(
                std::string(kKeys[(k + 1) % kKeyCount].defaultText));
        } else {
            const std::size_t from = (k * 131) % (file.size() + 1);
            values[k] = std::string(file.substr(from, sliceLength));
        }
        accepted[k] = document.SetString(kKeys[k].section, kKeys[k].key, values[k]);
        if (!accepted[k]) {
            continue;
        }
        written.insert(Entry(kKeys[k], values[k]));
        if (ownership.line[k]) {
            owned.insert(*ownership.line[k]);
        }
        if (!read[k]) {
            ++added;
            if (missingSections.count(kKeys[k].section) > 0 &&
                sectionsAdded.insert(kKeys[k].section).second) {
                written.insert(Header(kKeys[k].section));
                ++added;
            }
        }
    }

    const std::string serialized = document.Serialize();
    const ProfileDocument reread = ProfileDocument::Parse(serialized);
    for (std::size_t k = 0; k < kKeyCount; ++k) {
        const std::optional<std::string> value = reread.Find(kKeys[k].section, kKeys[k].key);
        FUZZ_CHECK(value == (accepted[k] ? std::optional<std::string>(values[k]) : read[k]));
        FUZZ_CHECK(document.Find(kKeys[k].section, kKeys[k].key) == value);
    }
    CheckOtherLinesSurvive(file, serialized, owned, written, added);
}

// --- The settings record through real files. ---

std::string Folder() {
    static const std::string folder = [] {
        const char* shm = "/dev/shm";
        std::string base = std::filesystem::is_directory(shm)
                               ? shm
                               : std::filesystem::temp_directory_path().string();
        std::string pattern = base + "/quillery-fuzz.XXXXXX";
        FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
        static const std::string removeAtExit = pattern;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(removeAtExit, ignored);
        });
        return pattern;
    }();
    return folder;
}

void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    FUZZ_CHECK(out.good());
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    FUZZ_CHECK(in.good());
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

Settings Loaded(const std::string& folder) {
    Settings settings;
    LoadSettingsFrom(folder, settings);
    return settings;
}

void CheckSettingsFile(std::string_view file, std::uint8_t flags, const WindowState& window) {
    const std::string folder = Folder();
    const std::string path = folder + "/" + kSettingsFileName;
    const std::string dictionary = folder + "/" + kDefaultDictionaryName;
    std::filesystem::remove(dictionary);
    if (flags & 4) {
        WriteFile(dictionary, "X\r\n");
    }
    WriteFile(path, file);

    const Settings first = Loaded(folder);
    FUZZ_CHECK(SaveSettingsTo(folder, first, window));
    const std::string saved = ReadFile(path);
    const Settings second = Loaded(folder);

    Settings expected = first;
    if (!window.minimized && !window.maximized) {
        expected.windowX = window.left;
        expected.windowY = window.top;
        expected.windowWidth = static_cast<std::int32_t>(static_cast<std::uint32_t>(window.right) -
                                                         static_cast<std::uint32_t>(window.left));
        expected.windowHeight = static_cast<std::int32_t>(
            static_cast<std::uint32_t>(window.bottom) - static_cast<std::uint32_t>(window.top));
    }
    FUZZ_CHECK(second == expected);

    // The values of the record, written one after the other into the file that was read.
    ProfileDocument document = ProfileDocument::Parse(file);
    const auto set = [&](std::size_t k, const std::string& value) {
        document.SetString(kKeys[k].section, kKeys[k].key, value);
    };
    set(0, first.dictionaryPath.Bytes());
    set(1, FormatNumberText(first.insertRatio));
    set(2, FormatNumberText(first.windowRatio));
    set(3, FormatNumberText(first.blackBackground));
    set(4, FormatNumberText(first.editReadOnly));
    if (!window.minimized && !window.maximized) {
        set(5, FormatNumberText(expected.windowX));
        set(6, FormatNumberText(expected.windowY));
        set(7, FormatNumberText(expected.windowWidth));
        set(8, FormatNumberText(expected.windowHeight));
    }
    set(9, FormatNumberText(first.insertMark));
    set(10, FormatNumberText(first.useFixedSeed));
    set(11, FormatNumberText(first.randomSeed));
    set(12, FormatNumberText(first.newestRandomSeed));
    FUZZ_CHECK(saved == document.Serialize());

    FUZZ_CHECK(SaveSettingsTo(folder, second, window));
    FUZZ_CHECK(ReadFile(path) == saved);

    std::set<std::string> names = {kSettingsFileName};
    if (flags & 4) {
        names.insert(kDefaultDictionaryName);
    }
    FUZZ_CHECK(Names(folder) == names);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillery::fuzz::Reader reader(data, size);
    const std::uint16_t mask = reader.Uint16();
    const std::size_t sliceLength = reader.Byte();
    const std::uint8_t flags = reader.Byte();
    WindowState window;
    window.minimized = (flags & 1) != 0;
    window.maximized = (flags & 2) != 0;
    window.left = static_cast<std::int32_t>(reader.Uint32());
    window.top = static_cast<std::int32_t>(reader.Uint32());
    window.right = static_cast<std::int32_t>(reader.Uint32());
    window.bottom = static_cast<std::int32_t>(reader.Uint32());
    const std::string_view file = reader.Rest();

    CheckDocument(file, mask, sliceLength);
    CheckSettingsFile(file, flags, window);
    return 0;
}
