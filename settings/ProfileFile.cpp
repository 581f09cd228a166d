#include "settings/ProfileFile.h"

#include "settings/Cp932Scan.h"
#include "settings/FileIo.h"

namespace quillery {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// A read gives back a C string of a 512-byte buffer: it ends at a NUL byte and never
// splits a double-byte character.
std::string CutValue(std::string_view value) {
    value = value.substr(0, value.find('\0'));
    value = TrimBlanks(value);
    std::size_t end = 0;
    while (end < value.size()) {
        const std::size_t next = end + Cp932CharLength(value, end);
        if (next > kProfileValueMaxBytes) {
            break;
        }
        end = next;
    }
    return std::string(value.substr(0, end));
}

struct LineForm {
    enum class Kind { kSection, kComment, kEntry, kOther };
    Kind kind = Kind::kOther;
    std::string_view name;   // section name or key, without blanks
    std::string_view value;  // as it stands after "="
};

LineForm Classify(std::string_view text) {
    LineForm form;
    std::size_t start = 0;
    while (start < text.size() && IsBlank(text[start])) {
        ++start;
    }
    if (start < text.size() && text[start] == ';') {
        form.kind = LineForm::Kind::kComment;
        return form;
    }
    if (start < text.size() && text[start] == '[') {
        const std::size_t close = FindCp932Char(text, ']', start + 1);
        if (close != std::string_view::npos) {
            form.kind = LineForm::Kind::kSection;
            form.name = TrimBlanks(text.substr(start + 1, close - start - 1));
            return form;
        }
    }
    const std::size_t equals = FindCp932Char(text, '=');
    if (equals != std::string_view::npos) {
        form.kind = LineForm::Kind::kEntry;
        form.name = TrimBlanks(text.substr(0, equals));
        form.value = text.substr(equals + 1);
    }
    return form;
}

bool HasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

}  // namespace

ProfileDocument ProfileDocument::Parse(std::string_view bytes) {
    ProfileDocument document;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t newline = bytes.find('\n', start);
        const bool last = newline == std::string_view::npos;
        std::string_view text =
            bytes.substr(start, last ? std::string_view::npos : newline - start);
        std::string ending = last ? "" : "\n";
        if (!text.empty() && text.back() == '\r') {
            text.remove_suffix(1);
            ending.insert(ending.begin(), '\r');
        }
        document.lines_.push_back(Line{std::string(text), std::move(ending)});
        start = last ? bytes.size() : newline + 1;
    }
    return document;
}

std::size_t ProfileDocument::FindSection(std::string_view section) const {
    const std::string_view wanted = TrimBlanks(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const LineForm form = Classify(lines_[i].text);
        if (form.kind == LineForm::Kind::kSection && EqualsIgnoringAsciiCase(form.name, wanted)) {
            return i;
        }
    }
    return std::string_view::npos;
}

std::optional<std::string> ProfileDocument::Find(std::string_view section,
                                                 std::string_view key) const {
    const std::size_t header = FindSection(section);
    if (header == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view wanted = TrimBlanks(key);
    for (std::size_t i = header + 1; i < lines_.size(); ++i) {
        const LineForm form = Classify(lines_[i].text);
        if (form.kind == LineForm::Kind::kSection) {
            break;
        }
        if (form.kind == LineForm::Kind::kEntry && EqualsIgnoringAsciiCase(form.name, wanted)) {
            return CutValue(form.value);
        }
    }
    return std::nullopt;
}

std::string ProfileDocument::GetString(std::string_view section, std::string_view key,
                                       std::string_view defaultText) const {
    if (auto value = Find(section, key)) {
        return *std::move(value);
    }
    return CutValue(defaultText);
}

void ProfileDocument::EndLastLine(std::size_t index) {
    if (index < lines_.size() && lines_[index].ending.find('\n') == std::string::npos) {
        lines_[index].ending = kLineBreak;
    }
}

bool ProfileDocument::SetString(std::string_view section, std::string_view key,
                                std::string_view value) {
    if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasLineBreakOrNul(value)) {
        return false;
    }
    // A read drops the blanks around a value and gives back at most 511 bytes: such a
    // value would come back as another one (a dictionary path "a.dat " as "a.dat").
    if (TrimBlanks(value).size() != value.size() || value.size() > kProfileValueMaxBytes) {
        return false;
    }
    // What is written must read back as the same section and key.
    const std::string header = "[" + std::string(section) + "]";
    const LineForm headerForm = Classify(header);
    if (TrimBlanks(section).empty() || headerForm.kind != LineForm::Kind::kSection ||
        headerForm.name != TrimBlanks(section)) {
        return false;
    }
    const std::string entry = std::string(key) + "=" + std::string(value);
    const LineForm entryForm = Classify(entry);
    if (TrimBlanks(key).empty() || entryForm.kind != LineForm::Kind::kEntry ||
        entryForm.name != TrimBlanks(key)) {
        return false;
    }

    const std::size_t headerIndex = FindSection(section);
    if (headerIndex == std::string_view::npos) {
        if (!lines_.empty()) {
            EndLastLine(lines_.size() - 1);
        }
        lines_.push_back(Line{header, std::string(kLineBreak)});
        lines_.push_back(Line{entry, std::string(kLineBreak)});
        return true;
    }

    std::size_t lastEntry = headerIndex;
    for (std::size_t i = headerIndex + 1; i < lines_.size(); ++i) {
        const LineForm form = Classify(lines_[i].text);
        if (form.kind == LineForm::Kind::kSection) {
            break;
        }
        if (form.kind != LineForm::Kind::kEntry) {
            continue;
        }
        if (EqualsIgnoringAsciiCase(form.name, entryForm.name)) {
            lines_[i] = Line{entry, std::string(kLineBreak)};
            return true;
        }
        lastEntry = i;
    }
    EndLastLine(lastEntry);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lastEntry + 1),
                  Line{entry, std::string(kLineBreak)});
    return true;
}

std::string ProfileDocument::Serialize() const {
    std::string bytes;
    for (const Line& line : lines_) {
        bytes += line.text;
        bytes += line.ending;
    }
    return bytes;
}

ProfileDocument ReadProfileFile(const std::string& path) {
    const FileContents contents = ReadWholeFile(path);
    if (contents.status != FileContents::Status::kRead) {
        return ProfileDocument();
    }
    return ProfileDocument::Parse(contents.bytes);
}

std::optional<ProfileDocument> ReadProfileFileForUpdate(const std::string& path) {
    const FileContents contents = ReadWholeFile(path);
    switch (contents.status) {
        case FileContents::Status::kRead:
            return ProfileDocument::Parse(contents.bytes);
        case FileContents::Status::kMissing:
            return ProfileDocument();
        case FileContents::Status::kFailed:
            break;
    }
    return std::nullopt;
}

bool WriteProfileFile(const std::string& path, const ProfileDocument& document) {
    return ReplaceFileAtomically(path, document.Serialize());
}

std::string GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                     std::string_view defaultText, const std::string& path) {
    return ReadProfileFile(path).GetString(section, key, defaultText);
}

bool WritePrivateProfileStringA(std::string_view section, std::string_view key,
                                std::string_view value, const std::string& path) {
    std::optional<ProfileDocument> document = ReadProfileFileForUpdate(path);
    if (!document || !document->SetString(section, key, value)) {
        return false;
    }
    return WriteProfileFile(path, *document);
}

}  // namespace quillery
