#include "Cp932Codec.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace quillery {

namespace {

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Handles the unit at which the platform converter refused to encode: an escaped byte
// goes back to its byte, anything else becomes one "?". Returns the units consumed.
size_t EncodeRefusedUnit(std::u16string_view text, size_t i, std::string& out) {
    const char16_t u = text[i];
    if (IsEscapedByte(u)) {
        out.push_back(static_cast<char>(u - kEscapedByteBase));
        return 1;
    }
    out.push_back('?');
    if (IsHighSurrogate(u) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
        return 2;
    }
    return 1;
}

}  // namespace

#ifdef _WIN32

struct Cp932Codec::Impl {};

Cp932Codec::Cp932Codec() : impl_(nullptr) {}
Cp932Codec::~Cp932Codec() = default;

void Cp932Codec::Decode(std::string_view bytes, std::u16string& out) {
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const size_t len = (IsDBCSLeadByteEx(932, lead) && i + 1 < bytes.size()) ? 2 : 1;
        wchar_t wide[2];
        const int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data() + i,
                                          static_cast<int>(len), wide, 2);
        if (n == 1) {
            out.push_back(static_cast<char16_t>(wide[0]));
            i += len;
        } else {
            out.push_back(static_cast<char16_t>(kEscapedByteBase + lead));
            i += 1;
        }
    }
}

void Cp932Codec::Encode(std::u16string_view text, std::string& out) {
    size_t i = 0;
    while (i < text.size()) {
        const char16_t u = text[i];
        if (u < 0x80) {
            out.push_back(static_cast<char>(u));
            ++i;
            continue;
        }
        if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
            i += EncodeRefusedUnit(text, i, out);
            continue;
        }
        char bytes[2];
        BOOL usedDefault = FALSE;
        const wchar_t wide = static_cast<wchar_t>(u);
        const int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes, 2, nullptr,
                                          &usedDefault);
        if (n <= 0 || usedDefault) {
            out.push_back('?');
        } else {
            out.append(bytes, static_cast<size_t>(n));
        }
        ++i;
    }
}

#else

struct Cp932Codec::Impl {
    iconv_t toUtf16;
    iconv_t fromUtf16;
};

namespace {
constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
}

Cp932Codec::Cp932Codec() : impl_(new Impl{iconv_open(kUtf16, "CP932"), iconv_open("CP932", kUtf16)}) {
    if (impl_->toUtf16 == reinterpret_cast<iconv_t>(-1) ||
        impl_->fromUtf16 == reinterpret_cast<iconv_t>(-1)) {
        // Without the converter no text can be read or written at all.
        throw std::runtime_error("iconv has no CP932 converter");
    }
}

Cp932Codec::~Cp932Codec() {
    iconv_close(impl_->toUtf16);
    iconv_close(impl_->fromUtf16);
    delete impl_;
}

void Cp932Codec::Decode(std::string_view bytes, std::u16string& out) {
    // Every character takes at least one byte and gives exactly one UTF-16 unit.
    const size_t start = out.size();
    out.resize(start + bytes.size());
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* dst = reinterpret_cast<char*>(out.data() + start);
    size_t outLeft = bytes.size() * sizeof(char16_t);
    while (inLeft > 0) {
        if (iconv(impl_->toUtf16, &in, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1)) {
            break;
        }
        // EILSEQ or a truncated character at the end: escape this one byte, go on.
        char16_t escaped = static_cast<char16_t>(kEscapedByteBase + static_cast<unsigned char>(*in));
        std::memcpy(dst, &escaped, sizeof escaped);
        dst += sizeof escaped;
        outLeft -= sizeof escaped;
        ++in;
        --inLeft;
    }
    iconv(impl_->toUtf16, nullptr, nullptr, nullptr, nullptr);
    out.resize(start + (bytes.size() * sizeof(char16_t) - outLeft) / sizeof(char16_t));
}

void Cp932Codec::Encode(std::u16string_view text, std::string& out) {
    size_t i = 0;
    while (i < text.size()) {
        // A unit gives at most two bytes; a refused unit gives one.
        const size_t start = out.size();
        const size_t capacity = (text.size() - i) * 2;
        out.resize(start + capacity);
        char* in = reinterpret_cast<char*>(const_cast<char16_t*>(text.data() + i));
        size_t inLeft = (text.size() - i) * sizeof(char16_t);
        char* dst = out.data() + start;
        size_t outLeft = capacity;
        const size_t rc = iconv(impl_->fromUtf16, &in, &inLeft, &dst, &outLeft);
        out.resize(start + capacity - outLeft);
        i = text.size() - inLeft / sizeof(char16_t);
        if (rc != static_cast<size_t>(-1)) {
            break;
        }
        if (errno != E2BIG) {
            i += EncodeRefusedUnit(text, i, out);
        }
        iconv(impl_->fromUtf16, nullptr, nullptr, nullptr, nullptr);
    }
}

#endif

std::u16string Cp932Codec::Decode(std::string_view bytes) {
    std::u16string out;
    Decode(bytes, out);
    return out;
}

std::string Cp932Codec::Encode(std::u16string_view text) {
    std::string out;
    Encode(text, out);
    return out;
}

Cp932Codec& ThreadCodec() {
    thread_local Cp932Codec codec;
    return codec;
}

}  // namespace quillery
