#include "settings/ProfileFile.h"

#include "engine/Cp932Text.h"
#include "files/FileIo.h"

namespace quillery {

namespace {

// What editors put at the start of a file they save as UTF-8.
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

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

// What a read gives back of the text after "=": up to a NUL byte, without surrounding
// blanks, then without one pair of double quotes around the whole of it; as a C string of
// a 512-byte buffer, cut so that no double-byte character is split.
std::string CutValue(std::string_view value) {
    value = value.substr(0, value.find('\0'));
    value = TrimBlanks(value);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
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
    std::string_view name;       // section name or key, without blanks
    std::string_view value;      // as it stands after "="
    std::size_t valueStart = 0;  // where the value's text starts, past the blanks after "="
    std::size_t valueEnd = 0;    // where it ends, before the blanks at the end of the line
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
        const std::size_t close = FindLastCp932Char(text, ']', start + 1);
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
        std::size_t valueStart = equals + 1;
        while (valueStart < text.size() && IsBlank(text[valueStart])) {
            ++valueStart;
        }
        std::size_t valueEnd = text.size();
        while (valueEnd > valueStart && IsBlank(text[valueEnd - 1])) {
            --valueEnd;
        }
        form.valueStart = valueStart;
        form.valueEnd = valueEnd;
    }
    return form;
}

// One line of the text: its text is [start, textEnd), its line break [textEnd, end).
struct LineSpan {
    std::size_t start = 0;
    std::size_t textEnd = 0;
    std::size_t end = 0;
};

// The line that starts at `start`, which lies before the end of `bytes`. CR LF, LF and
// CR alone each end a line.
LineSpan LineAt(std::string_view bytes, std::size_t start) {
    const std::size_t brk = bytes.find_first_of("\r\n", start);
    LineSpan line;
    line.start = start;
    if (brk == std::string_view::npos) {
        line.textEnd = line.end = bytes.size();
        return line;
    }
    line.textEnd = brk;
    line.end = brk + 1;
    if (bytes[brk] == '\r' && line.end < bytes.size() && bytes[line.end] == '\n') {
        ++line.end;
    }
    return line;
}

std::string_view TextOf(std::string_view bytes, const LineSpan& line) {
    return bytes.substr(line.start, line.textEnd - line.start);
}

// The line break of the file's first line; CR LF for a file that has none yet.
std::string_view LineBreakOf(std::string_view bytes) {
    const std::size_t brk = bytes.find_first_of("\r\n");
    if (brk == std::string_view::npos) {
        return "\r\n";
    }
    if (bytes[brk] == '\n') {
        return "\n";
    }
    return bytes.substr(brk + 1, 1) == "\n" ? "\r\n" : "\r";
}

// Calls `visit(line, form)` on each entry of the section whose header ends at
// `sectionEnd`, up to the next section header, until `visit` returns true. Returns where
// the last entry visited ends, or `sectionEnd` when there was none.
template <class Visit>
std::size_t ForEachEntry(const std::string& bytes, std::size_t sectionEnd, Visit visit) {
    std::size_t lastEntryEnd = sectionEnd;
    for (std::size_t pos = sectionEnd; pos < bytes.size();) {
        const LineSpan line = LineAt(bytes, pos);
        const LineForm form = Classify(TextOf(bytes, line));
        if (form.kind == LineForm::Kind::kSection) {
            break;
        }
        pos = line.end;
        if (form.kind == LineForm::Kind::kEntry) {
            lastEntryEnd = line.end;
            if (visit(line, form)) {
                break;
            }
        }
    }
    return lastEntryEnd;
}

}  // namespace

ProfileDocument ProfileDocument::Parse(std::string_view bytes) {
    ProfileDocument document;
    document.bytes_.assign(bytes);
    return document;
}

std::size_t ProfileDocument::TextStart() const {
    return std::string_view(bytes_).starts_with(kUtf8ByteOrderMark) ? kUtf8ByteOrderMark.size() : 0;
}

std::size_t ProfileDocument::FindSectionEnd(std::string_view section) const {
    const std::string_view wanted = TrimBlanks(section);
    for (std::size_t pos = TextStart(); pos < bytes_.size();) {
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
    std::optional<std::string> found;
    ForEachEntry(bytes_, sectionEnd, [&](const LineSpan&, const LineForm& form) {
        if (EqualsIgnoringAsciiCase(form.name, wanted)) {
            found = CutValue(form.value);
        }
        return found.has_value();
    });
    return found;
}

std::string ProfileDocument::GetString(std::string_view section, std::string_view key,
                                       std::string_view defaultText) const {
    if (auto value = Find(section, key)) {
        return *std::move(value);
    }
    return CutValue(defaultText);
}

void ProfileDocument::EndLastLine() {
    if (bytes_.size() == TextStart() || bytes_.back() == '\n' || bytes_.back() == '\r') {
        return;
    }
    bytes_ += LineBreakOf(bytes_);
}

bool ProfileDocument::SetString(std::string_view section, std::string_view key,
                                std::string_view value) {
    if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasLineBreakOrNul(value)) {
        return false;
    }
    if (value.size() > kProfileValueMaxBytes) {
        return false;
    }
    // A read drops the blanks around a value and one pair of quotes around it: a value
    // that would lose either (a dictionary path "a.dat ") is written inside quotes.
    const bool quoted = TrimBlanks(value).size() != value.size() ||
                        (value.size() >= 2 && value.front() == '"' && value.back() == '"');
    const std::string text = quoted ? "\"" + std::string(value) + "\"" : std::string(value);
    // What is written must read back as the same section and key.
    const std::string header = "[" + std::string(section) + "]";
    const LineForm headerForm = Classify(header);
    if (TrimBlanks(section).empty() || headerForm.kind != LineForm::Kind::kSection ||
        headerForm.name != TrimBlanks(section)) {
        return false;
    }
    const std::string entry = std::string(key) + "=" + text;
    const LineForm entryForm = Classify(entry);
    if (TrimBlanks(key).empty() || entryForm.kind != LineForm::Kind::kEntry ||
        entryForm.name != TrimBlanks(key)) {
        return false;
    }
    // An added line ends as the file's lines do: a file with LF or CR alone must not
    // become one with mixed line ends.
    const std::string_view lineBreak = LineBreakOf(bytes_);
    const std::string entryLine = entry + std::string(lineBreak);

    const std::size_t sectionEnd = FindSectionEnd(section);
    if (sectionEnd == std::string_view::npos) {
        EndLastLine();
        bytes_ += header;
        bytes_ += lineBreak;
        bytes_ += entryLine;
        return true;
    }

    bool present = false;
    // Where the section's last entry ends, or its header when it has none.
    std::size_t insertAt =
        ForEachEntry(bytes_, sectionEnd, [&](const LineSpan& line, const LineForm& form) {
            present = EqualsIgnoringAsciiCase(form.name, entryForm.name);
            // The key as it is spelt there, the blanks around "=" and the line break stay;
            // a value that reads the same already is left as it stands.
            if (present && CutValue(form.value) != value) {
                bytes_.replace(line.start + form.valueStart, form.valueEnd - form.valueStart, text);
            }
            return present;
        });
    if (present) {
        return true;
    }
    if (insertAt == bytes_.size()) {
        // Only the last line can lack a line break.
        EndLastLine();
        insertAt = bytes_.size();
    }
    // In a file of mixed line ends, a lone CR written just before an LF would join it into
    // one CR LF and swallow the line that LF ends.
    const bool beforeLf = lineBreak == "\r" && insertAt < bytes_.size() && bytes_[insertAt] == '\n';
    bytes_.insert(insertAt, beforeLf ? entryLine + "\n" : entryLine);
    return true;
}

std::string ProfileDocument::Serialize() const {
    return bytes_;
}

ProfileDocument ReadProfileFile(const std::string& path) {
    return ReadProfileFileForUpdate(path).value_or(ProfileDocument());
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

}  // namespace quillery
