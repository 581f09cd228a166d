#pragma once

// Helpers shared by the engine and converter tests: test texts are written as UTF-8
// literals and turned into what the engine takes, and files are written to a temporary
// folder of their own.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

#include "engine/Cp932Codec.h"
#include "engine/KeywordList.h"
#include "engine/Utf8.h"

namespace quillery::test {

inline std::u16string U16(std::string_view utf8) {
    auto text = Utf8ToUtf16(utf8);
    if (!text) {
        throw std::invalid_argument("test text is not UTF-8");
    }
    return *text;
}

// Readable in a failure message even when the text holds escaped bytes or lone surrogates.
inline std::string Utf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t len =
            (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size()) ? 2 : 1;
        if (auto utf8 = Utf16ToUtf8(text.substr(i, len))) {
            out += *utf8;
            i += len - 1;
        } else {
            static const char* digits = "0123456789ABCDEF";
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4) {
                out += digits[(text[i] >> shift) & 0xF];
            }
        }
    }
    return out;
}

// Code page 932 bytes of a test text; every character of it must be in the code page.
inline std::string Sjis(std::string_view utf8) {
    Cp932Codec codec;
    const std::u16string text = U16(utf8);
    std::string bytes = codec.Encode(text);
    if (codec.Decode(bytes) != text) {
        throw std::invalid_argument("test text does not fit code page 932");
    }
    return bytes;
}

// A code page 932 text decoded for comparison with a UTF-8 expectation.
inline std::string SjisToUtf8(std::string_view bytes) {
    Cp932Codec codec;
    return Utf8(codec.Decode(bytes));
}

// "8e84 82cd" -> the bytes 8E 84 82 CD.
inline std::string Bytes(std::string_view hex) {
    std::string out;
    int high = -1;
    for (const char c : hex) {
        int v;
        if (c >= '0' && c <= '9') {
            v = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            v = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            v = c - 'A' + 10;
        } else {
            continue;
        }
        if (high < 0) {
            high = v;
        } else {
            out.push_back(static_cast<char>(high * 16 + v));
            high = -1;
        }
    }
    if (high >= 0) {
        throw std::invalid_argument("odd number of hex digits");
    }
    return out;
}

inline KeywordList Keywords(std::initializer_list<std::string_view> utf8) {
    KeywordList list;
    for (const std::string_view keyword : utf8) {
        list.Append(U16(keyword));
    }
    return list;
}

// A folder of its own under the system's temporary folder, removed with its contents.
class TempDir {
  public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillery-test-XXXXXX");
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

    std::string Write(const std::string& name, std::string_view bytes) const {
        const std::filesystem::path file = path_ / name;
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            throw std::runtime_error("cannot write " + file.string());
        }
        return file.string();
    }

  private:
    std::filesystem::path path_;
};

}  // namespace quillery::test
