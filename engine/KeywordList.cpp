#include "KeywordList.h"

#include <sys/stat.h>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include "Cp932Codec.h"
#include "Cp932Text.h"
#include "Utf8.h"

#ifndef S_ISREG
#define S_ISREG(mode) (((mode)&S_IFMT) == S_IFREG)
#endif

namespace quillery {

namespace {

// 1000 pieces of at most 132 characters (UTF-16 units) each, a unit at most two bytes of
// code page 932 or three of UTF-8 (after its byte-order mark): no more of the file than
// this can reach the list, however long its lines are.
constexpr std::size_t kPieceUnits = KeywordList::kMaxKeywords * KeywordList::kMaxKeywordChars;
constexpr std::size_t kCp932BytesNeeded = kPieceUnits * 2;
constexpr std::size_t kUtf8BytesNeeded = 3 + kPieceUnits * 3;

constexpr char kCtrlZ = 0x1A;

// A lead byte that lost its second byte (the line ends or a NUL cuts it), kept as an
// escaped byte. At the end of a keyword it would take the first byte of whatever follows
// the insertion for its second one, so the text after every insertion of that keyword
// would read as other characters once written out. It becomes "?", as a character that
// does not convert does.
constexpr bool IsLoneLeadByte(char16_t unit) {
    if (!IsEscapedByte(unit)) {
        return false;
    }
    return IsCp932LeadByte(static_cast<unsigned char>(unit - kEscapedByteBase));
}

struct TextModeBytes {
    std::string text;
    bool cut = false;  // the file goes on after `text`
};

// The file's bytes as a text-mode read sees them, up to Ctrl+Z and at least `needed`
// of them when the file has that many (plus the rest of a read chunk and the CR LF
// lookahead).
TextModeBytes ReadTextModeBytes(std::FILE* file, std::size_t needed) {
    TextModeBytes result;
    std::string& text = result.text;
    char chunk[16384];
    bool pendingCr = false;
    while (text.size() < needed) {
        const std::size_t n = std::fread(chunk, 1, sizeof chunk, file);
        if (n == 0) {
            break;
        }
        for (std::size_t i = 0; i < n; ++i) {
            const char c = chunk[i];
            if (c == kCtrlZ) {
                if (pendingCr) {
                    text.push_back('\r');
                }
                return result;
            }
            if (pendingCr) {
                pendingCr = false;
                if (c == '\n') {
                    text.push_back('\n');
                    continue;
                }
                text.push_back('\r');
            }
            if (c == '\r') {
                pendingCr = true;
            } else {
                text.push_back(c);
            }
        }
    }
    if (pendingCr) {
        text.push_back('\r');
    }
    if (text.size() >= needed) {
        const int next = std::fgetc(file);
        result.cut = next != EOF && next != kCtrlZ;
    }
    return result;
}

// The length of `bytes` without a UTF-8 sequence that a cut left incomplete at its end.
std::size_t WholeUtf8Sequences(std::string_view bytes) {
    // A sequence is at most four bytes: look back at most three for its lead byte.
    for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((byte & 0xC0) != 0x80) {
            const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
            return length > back ? bytes.size() - back : bytes.size();
        }
    }
    return bytes.size();
}

// Cuts decoded text into the keywords: lines, or pieces of longer lines. `fromCp932` says
// the text was decoded from code page 932, whose escaped lead bytes share their units with
// the second halves of surrogate pairs: only such text has lead bytes to replace.
KeywordList SplitKeywords(std::u16string_view text, bool fromCp932) {
    KeywordList list;
    std::size_t pos = 0;
    while (pos < text.size() && list.size() < KeywordList::kMaxKeywords) {
        // One piece: up to 132 characters, ending early right after a line feed.
        std::size_t limit = std::min(text.size(), pos + KeywordList::kMaxKeywordChars);
        // A character outside the basic plane is never cut in two: when its first half
        // would be the last unit of the piece, the piece ends before it and the whole
        // pair starts the next one. Halves would be lone surrogates, which no encoding
        // can write. Code page 932 text holds no pairs, so its pieces never change.
        if (limit < text.size() && IsHighSurrogate(text[limit - 1]) &&
            IsLowSurrogate(text[limit])) {
            --limit;
        }
        std::size_t end = pos;
        while (end < limit && text[end] != u'\n') {
            ++end;
        }
        const std::size_t next = (end < limit) ? end + 1 : end;  // the line feed is consumed
        std::u16string_view piece(text.data() + pos, end - pos);
        // A NUL ends the keyword; the rest of its piece is dropped.
        piece = piece.substr(0, piece.find(u'\0'));
        std::u16string keyword(piece);
        if (fromCp932 && !keyword.empty() && IsLoneLeadByte(keyword.back())) {
            keyword.back() = u'?';
        }
        list.Append(std::move(keyword));
        pos = next;
    }
    return list;
}

}  // namespace

KeywordList ReadKeywords(std::FILE* file) {
    return SplitKeywords(ThreadCodec().Decode(ReadTextModeBytes(file, kCp932BytesNeeded).text),
                         true);
}

std::optional<KeywordList> ReadUtf8Keywords(std::FILE* file) {
    const TextModeBytes bytes = ReadTextModeBytes(file, kUtf8BytesNeeded);
    std::string_view text = bytes.text;
    if (text.starts_with(kUtf8ByteOrderMark)) {
        text.remove_prefix(kUtf8ByteOrderMark.size());
    }
    if (bytes.cut) {
        // Only what can reach the list is read: a character the read cut in two is not
        // a fault of the file.
        text = text.substr(0, WholeUtf8Sequences(text));
    }
    const auto wide = Utf8ToUtf16(text);
    if (!wide) {
        return std::nullopt;
    }
    return SplitKeywords(*wide, false);
}

std::FILE* OpenDictionaryFile(const std::string& path) {
#ifdef _WIN32
    const auto wide = Utf8ToWide(path);
    std::FILE* file = wide ? _wfopen(wide->c_str(), L"rb") : nullptr;
    if (file == nullptr) {
        return nullptr;
    }
#else
    // Without O_NONBLOCK, opening a FIFO would wait for a writer before the check below.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* file = fdopen(fd, "rb");
    if (file == nullptr) {
        close(fd);
        return nullptr;
    }
#endif
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

}  // namespace quillery
