#include "windowlogic/DroppedFiles.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "engine/Utf8.h"
#include "windowlogic/PaneFile.h"
#include "windowlogic/Texts.h"

namespace quillery {

namespace {

namespace fs = std::filesystem;

// UTF-8 where a byte-order mark promised it: each sequence that does not decode is one
// U+FFFD, and decoding goes on after it.
std::u16string LenientUtf8(std::string_view bytes) {
    if (std::optional<std::u16string> whole = Utf8ToUtf16(bytes)) {
        return *whole;
    }
    std::u16string text;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        const std::optional<std::u16string> one =
            i + length <= bytes.size() ? Utf8ToUtf16(bytes.substr(i, length)) : std::nullopt;
        if (one) {
            text += *one;
            i += length;
        } else {
            text.push_back(0xFFFD);
            ++i;
        }
    }
    return text;
}

std::u16string FileNameOf(std::u16string_view path) {
    const std::size_t slash = path.find_last_of(u"/\\");
    return std::u16string(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
}

DroppedText Refused(std::u16string_view path, std::u16string_view reason) {
    return {std::nullopt,
            texts::kRefusedFileHead + FileNameOf(path) + u"\r\n" + std::u16string(reason)};
}

// A path the file system cannot name (a lone surrogate) names no file.
std::optional<fs::path> PathOf(std::u16string_view name) {
    try {
        return fs::path(name);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool IsRegularFile(const std::optional<fs::path>& path) {
    std::error_code error;
    return path && fs::is_regular_file(*path, error);
}

// The drop rules' UTF-8 reading of `bytes`, or nothing when they are code page 932: a
// byte-order mark makes them UTF-8 (read leniently, the mark left out); else valid UTF-8
// holding something beyond ASCII does. Decided and decoded in one pass over the bytes.
std::optional<std::u16string> Utf8ByDropRules(std::string_view bytes) {
    if (bytes.starts_with(kUtf8ByteOrderMark)) {
        return LenientUtf8(bytes.substr(kUtf8ByteOrderMark.size()));
    }
    const bool beyondAscii = std::any_of(
        bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) > 0x7F; });
    return beyondAscii ? Utf8ToUtf16(bytes) : std::nullopt;
}

}  // namespace

bool IsUtf8ByDropRules(std::string_view bytes) {
    return bytes.starts_with(kUtf8ByteOrderMark) || Utf8ByDropRules(bytes).has_value();
}

std::u16string DecodeDroppedBytes(std::string_view bytes) {
    if (std::optional<std::u16string> utf8 = Utf8ByDropRules(bytes)) {
        return WithCrLf(*utf8);
    }
    return WithCrLf(DisplayFromCp932(bytes));
}

DroppedText ReadDroppedFiles(const std::vector<std::u16string>& paths, std::uint64_t maxBytes) {
    std::u16string text;
    std::uint64_t total = 0;
    for (const std::u16string& name : paths) {
        const std::optional<fs::path> path = PathOf(name);
        std::ifstream file;
        if (IsRegularFile(path)) {
            file.open(*path, std::ios::binary);
        }
        if (!file.is_open()) {
            return Refused(name, texts::kDropCannotOpen);
        }
        // The size is looked at before reading; reading stops one byte past the limit in
        // case the file grows meanwhile.
        const std::uint64_t room = maxBytes - total;
        std::error_code error;
        const std::uintmax_t size = fs::file_size(*path, error);
        if (!error) {
            if (std::optional<std::u16string> refusal =
                    DropSizeRefusal(name, total, size, maxBytes)) {
                return {std::nullopt, *std::move(refusal)};
            }
        }
        std::string bytes;
        char buffer[1 << 16];
        while (bytes.size() <= room && file.read(buffer, sizeof buffer).gcount() > 0) {
            bytes.append(buffer, static_cast<std::size_t>(file.gcount()));
        }
        if (file.bad()) {
            return Refused(name, texts::kDropCannotOpen);
        }
        DroppedText one = DroppedFileText(name, bytes, total, maxBytes);
        if (!one.text) {
            return one;
        }
        total += bytes.size();
        text += *one.text;
    }
    return {std::move(text), {}};
}

std::optional<std::u16string> DropSizeRefusal(std::u16string_view name, std::uint64_t before,
                                              std::uint64_t size, std::uint64_t maxBytes) {
    if (before > maxBytes || size > maxBytes - before) {
        return Refused(name, texts::kDropTooLarge).refusal;
    }
    return std::nullopt;
}

DroppedText DroppedFileText(std::u16string_view name, std::string_view bytes, std::uint64_t before,
                            std::uint64_t maxBytes) {
    if (std::optional<std::u16string> refusal =
            DropSizeRefusal(name, before, bytes.size(), maxBytes)) {
        return {std::nullopt, *std::move(refusal)};
    }
    if (bytes.find('\0') != std::string_view::npos) {
        return Refused(name, texts::kDropNotText);
    }
    return {DecodeDroppedBytes(bytes), {}};
}

bool IsDictionaryDrop(const std::vector<std::u16string>& paths) {
    return paths.size() == 1 && IsRegularFile(PathOf(paths.front()));
}

}  // namespace quillery
