// The codec's table against the platform's own converter (glibc's iconv on Linux,
// MultiByteToWideChar and WideCharToMultiByte on Windows or Wine), over every byte, byte
// pair and UTF-16 unit. The platform is asked one character at a time under the codec's
// rules: undefined and invalid bytes are escaped, a lead byte with a bad trail escapes
// only itself, and a character is written only as bytes that read back as itself. The
// two must agree everywhere except the short list below.

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

#include "engine/Cp932Codec.h"
#include "tests/engine/TestSupport.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#include <bit>
#include <cerrno>
#endif

namespace quillery {
namespace {

// Characters the code page holds under another Unicode form, which the codec writes as
// the code page's character and the platforms' exact conversion refuses.
const std::map<char16_t, std::string> kAllowedDifferences = {
    {0x301C, "\x81\x60"}, {0x2016, "\x81\x61"}, {0x2212, "\x81\x7C"}, {0x00A2, "\x81\x91"},
    {0x00A3, "\x81\x92"}, {0x00AC, "\x81\xCA"}, {0x2014, "\x81\x5C"}, {0x00A5, "\x81\x8F"},
};

enum class Answer { kConverted, kIncomplete, kInvalid };

#ifdef _WIN32

constexpr UINT kCodePage = 932;

struct Platform {
    bool Available() const { return IsValidCodePage(kCodePage) != 0; }

    Answer Decode(const std::string& bytes, char16_t& unit) const {
        if (bytes.size() == 1 && IsDBCSLeadByteEx(kCodePage, static_cast<BYTE>(bytes[0]))) {
            return Answer::kIncomplete;
        }
        wchar_t wide[2];
        const int n = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                          static_cast<int>(bytes.size()), wide, 2);
        if (n != 1) {
            return Answer::kInvalid;
        }
        unit = static_cast<char16_t>(wide[0]);
        return Answer::kConverted;
    }

    // Without best fit; empty when refused.
    std::string Encode(char16_t unit) const {
        const wchar_t wide = static_cast<wchar_t>(unit);
        char bytes[4];
        BOOL usedDefault = FALSE;
        const int n = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes,
                                          sizeof bytes, nullptr, &usedDefault);
        return n > 0 && !usedDefault ? std::string(bytes, static_cast<std::size_t>(n)) : "";
    }
};

#else

constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

struct Platform {
    Platform() : toUtf16(iconv_open(kUtf16, "CP932")), fromUtf16(iconv_open("CP932", kUtf16)) {}
    ~Platform() {
        for (const iconv_t cd : {toUtf16, fromUtf16}) {
            if (cd != reinterpret_cast<iconv_t>(-1)) {
                iconv_close(cd);
            }
        }
    }
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    bool Available() const {
        return toUtf16 != reinterpret_cast<iconv_t>(-1) &&
               fromUtf16 != reinterpret_cast<iconv_t>(-1);
    }

    // `outBytes` is the room on entry, the output after.
    static Answer Ask(iconv_t cd, const void* input, std::size_t inBytes, void* output,
                      std::size_t& outBytes) {
        char* in = static_cast<char*>(const_cast<void*>(input));
        std::size_t inLeft = inBytes;
        char* dst = static_cast<char*>(output);
        std::size_t outLeft = outBytes;
        const std::size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
        const int error = errno;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        outBytes -= outLeft;
        if (rc != static_cast<std::size_t>(-1) && inLeft == 0) {
            return Answer::kConverted;
        }
        return rc == static_cast<std::size_t>(-1) && error == EINVAL ? Answer::kIncomplete
                                                                     : Answer::kInvalid;
    }

    Answer Decode(const std::string& bytes, char16_t& unit) const {
        char16_t units[2];
        std::size_t outBytes = sizeof units;
        const Answer answer = Ask(toUtf16, bytes.data(), bytes.size(), units, outBytes);
        if (answer == Answer::kConverted) {
            if (outBytes != sizeof(char16_t)) {
                return Answer::kInvalid;
            }
            unit = units[0];
        }
        return answer;
    }

    std::string Encode(char16_t unit) const {
        char bytes[4];
        std::size_t outBytes = sizeof bytes;
        return Ask(fromUtf16, &unit, sizeof unit, bytes, outBytes) == Answer::kConverted
                   ? std::string(bytes, outBytes)
                   : "";
    }

    const iconv_t toUtf16;
    const iconv_t fromUtf16;
};

#endif

constexpr char16_t Escaped(unsigned char b) {
    return static_cast<char16_t>(kEscapedByteBase + b);
}

// The codec's rules over the platform's answers, for one input at a time.
class Reference {
  public:
    explicit Reference(const Platform& platform) : platform_(platform) {
        for (unsigned b = 0; b < 256; ++b) {
            const std::string byte(1, static_cast<char>(b));
            char16_t unit = 0;
            single_[b] = {Escaped(static_cast<unsigned char>(b)), false};
            if (b == 0x80 || b == 0xA0 || b >= 0xFD) {
                continue;  // undefined in the code page
            }
            switch (platform.Decode(byte, unit)) {
                case Answer::kConverted:
                    single_[b].unit = unit;
                    break;
                case Answer::kIncomplete:
                    single_[b].lead = true;
                    break;
                case Answer::kInvalid:
                    break;
            }
        }
    }

    // One byte as the whole input: a lead byte with nothing after it is escaped.
    std::u16string DecodeOne(unsigned char b) const {
        return std::u16string(1, single_[b].lead ? Escaped(b) : single_[b].unit);
    }

    std::u16string DecodeTwo(unsigned char lead, unsigned char trail) const {
        if (!single_[lead].lead) {
            return DecodeOne(lead) + DecodeOne(trail);
        }
        char16_t unit = 0;
        const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
        if (platform_.Decode(bytes, unit) == Answer::kConverted) {
            return std::u16string(1, unit);
        }
        return Escaped(lead) + DecodeOne(trail);
    }

    // A unit outside the surrogates: the platform's bytes when they read back as it.
    std::string Encode(char16_t unit) const {
        const std::string bytes = platform_.Encode(unit);
        std::u16string back;
        if (bytes.size() == 1) {
            back = DecodeOne(static_cast<unsigned char>(bytes[0]));
        } else if (bytes.size() == 2) {
            back = DecodeTwo(static_cast<unsigned char>(bytes[0]),
                             static_cast<unsigned char>(bytes[1]));
        }
        return back == std::u16string(1, unit) ? bytes : "?";
    }

  private:
    struct Single {
        char16_t unit;
        bool lead;
    };
    const Platform& platform_;
    Single single_[256];
};

std::string Hex(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(c));
        out += hex;
    }
    return out;
}

TEST(Cp932Platform, TheTableDecodesEveryByteAndPairAsThePlatformDoes) {
    const Platform platform;
    ASSERT_TRUE(platform.Available()) << "the platform has no code page 932 converter";
    const Reference reference(platform);
    Cp932Codec codec;
    int differences = 0;
    for (unsigned first = 0; first < 256 && differences < 20; ++first) {
        const auto lead = static_cast<unsigned char>(first);
        if (codec.Decode(std::string(1, static_cast<char>(lead))) != reference.DecodeOne(lead)) {
            ADD_FAILURE() << "byte " << Hex(std::string(1, static_cast<char>(lead)));
            ++differences;
        }
        for (unsigned second = 0; second < 256; ++second) {
            const auto trail = static_cast<unsigned char>(second);
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            const std::u16string expected = reference.DecodeTwo(lead, trail);
            if (codec.Decode(bytes) != expected) {
                ADD_FAILURE() << "bytes " << Hex(bytes) << ": " << test::Utf8(codec.Decode(bytes))
                              << ", the platform " << test::Utf8(expected);
                ++differences;
            }
        }
    }
}

TEST(Cp932Platform, TheTableEncodesEveryUnitAsThePlatformDoesSaveTheOtherForms) {
    const Platform platform;
    ASSERT_TRUE(platform.Available()) << "the platform has no code page 932 converter";
    const Reference reference(platform);
    Cp932Codec codec;
    std::map<char16_t, std::string> differences;
    for (unsigned u = 0; u < 0x10000; ++u) {
        const auto unit = static_cast<char16_t>(u);
        if (IsSurrogate(unit)) {
            continue;  // never given to the platform: the codec's own rules
        }
        const std::string bytes = codec.Encode(std::u16string(1, unit));
        if (bytes != reference.Encode(unit)) {
            differences[unit] = bytes;
        }
    }
    EXPECT_EQ(differences, kAllowedDifferences);
}

#ifndef _WIN32
// glibc writes the JIS X 0208 forms as the same characters; the yen sign it writes as the
// backslash byte, which the table does not.
TEST(Cp932Platform, GlibcWritesTheOtherFormsAsTheTableDoes) {
    const Platform platform;
    ASSERT_TRUE(platform.Available());
    Cp932Codec codec;
    for (const auto& [unit, bytes] : kAllowedDifferences) {
        EXPECT_EQ(Hex(codec.Encode(std::u16string(1, unit))), Hex(bytes));
        EXPECT_EQ(Hex(platform.Encode(unit)), unit == 0x00A5 ? "5C" : Hex(bytes)) << int(unit);
    }
}
#endif

}  // namespace
}  // namespace quillery
