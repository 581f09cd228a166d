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

// One line of the text: its text is [start, textEnd), its line break [textEnd, end).
struct LineSpan {
    std::size_t start = 0;
    std::size_t textEnd = 0;
    std::size_t end = 0;
};

// The line that starts at `start`, which lies before the end of `bytes`. A line ends
// after its LF; a CR right before that LF, or at the very end, is part of its line break.
LineSpan LineAt(std::string_view bytes, std::size_t start) {
    const std::size_t lf = bytes.find('\n', start);
    LineSpan line;
    line.start = start;
    line.end = lf == std::string_view::npos ? bytes.size() : lf + 1;
    line.textEnd = lf == std::string_view::npos ? bytes.size() : lf;
    if (line.textEnd > start && bytes[line.textEnd - 1] == '\r') {
        --line.textEnd;
    }
    return line;
}

std::string_view TextOf(std::string_view bytes, const LineSpan& line) {
    return bytes.substr(line.start, line.textEnd - line.start);
}

}  // namespace

ProfileDocument ProfileDocument::Parse(std::string_view bytes) {
    ProfileDocument document;
    document.bytes_.assign(bytes);
    return document;
}

std::size_t ProfileDocument::FindSectionEnd(std::string_view section) const {
    const std::string_view wanted = TrimBlanks(section);
    for (std::size_t pos = 0; pos < bytes_.size();) {
        const LineSpan line = LineAt(bytes_, pos);
        const LineForm form = Classify(TextOf(bytes_, line));
        if (form.kind == LineForm::Kind::kSection && EqualsIgnoringAsciiCase(form.name, wanted)) {
            return line.end;
        }
        pos = line.end;
    }
    return std::string_view::npos;
}

std::optional<std::string> ProfileDocument::Find(std::string_view section,
                                                 std::string_view key) const {
    const std::size_t sectionEnd = FindSectionEnd(section);
    if (sectionEnd == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view wanted = TrimBlanks(key);
    for (std::size_t pos = sectionEnd; pos < bytes_.size();) {
        const LineSpan line = LineAt(bytes_, pos);
        const LineForm form = Classify(TextOf(bytes_, line));
        if (form.kind == LineForm::Kind::kSection) {
            break;
        }
        if (form.kind == LineForm::Kind::kEntry && EqualsIgnoringAsciiCase(form.name, wanted)) {
            return CutValue(form.value);
        }
        pos = line.end;
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

void ProfileDocument::EndLastLine() {
    if (bytes_.empty() || bytes_.back() == '\n') {
        return;
    }
    // A last line ends in nothing or in a lone CR; either way it gets CR LF.
    bytes_ += bytes_.back() == '\r' ? "\n" : "\r\n";
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
    const std::string entryLine = entry + std::string(kLineBreak);

    const std::size_t sectionEnd = FindSectionEnd(section);
    if (sectionEnd == std::string_view::npos) {
        EndLastLine();
        bytes_ += header;
        bytes_ += kLineBreak;
        bytes_ += entryLine;
        return true;
    }

    // Where the section's last entry ends, or its header when it has none.
    std::size_t insertAt = sectionEnd;
    for (std::size_t pos = sectionEnd; pos < bytes_.size();) {
        const LineSpan line = LineAt(bytes_, pos);
        const LineForm form = Classify(TextOf(bytes_, line));
        if (form.kind == LineForm::Kind::kSection) {
            break;
        }
        pos = line.end;
        if (form.kind != LineForm::Kind::kEntry) {
            continue;
        }
        if (EqualsIgnoringAsciiCase(form.name, entryForm.name)) {
            bytes_.replace(line.start, line.end - line.start, entryLine);
            return true;
        }
        insertAt = line.end;
    }
    if (insertAt == bytes_.size()) {
        // Only the last line can lack a line break.
        EndLastLine();
        insertAt = bytes_.size();
    }
    bytes_.insert(insertAt, entryLine);
    return true;
}

std::string ProfileDocument::Serialize() const {
    return bytes_;
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
