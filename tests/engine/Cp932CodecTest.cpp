// The code page 932 codec: the Windows mapping, escaped bytes for what does not decode,
// "?" for what does not encode, and exact round trips.

#include <gtest/gtest.h>
#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstring>

#include <algorithm>
#include <random>
#include <string>
#include <thread>

#include "engine/Cp932Codec.h"
#include "tests/engine/TestSupport.h"

namespace quillery {
namespace {

using test::Bytes;
using test::U16;

class Cp932CodecTest : public testing::Test {
  protected:
    Cp932Codec codec_;
};

TEST_F(Cp932CodecTest, JapaneseProseBothWays) {
    const std::u16string text = U16("吾輩は猫である。名前はまだ無い。ｶﾀｶﾅ①㈱髙ⅰ纊Ⅰ\\~");
    const std::string bytes = Bytes(
        "8ce1 9479 82cd 944c 82c5 82a0 82e9 8142 96bc 914f 82cd 82dc 82be 96b3 82a2 8142"
        "b6 c0 b6 c5 8740 878a fbfc fa40 fa5c 8754 5c 7e");
    EXPECT_EQ(codec_.Encode(text), bytes);
    EXPECT_EQ(codec_.Decode(bytes), text);
}

TEST_F(Cp932CodecTest, LongerProseRoundTrips) {
    const std::u16string text =
        U16("　春はあけぼの。やうやう白くなりゆく山ぎは、すこしあかりて、紫だちたる雲のほそくたなび"
            "きたる。\r\n"
            "「ｺｰﾋｰを１杯、ください！」と彼は言った――株式会社（㈱）の髙橋さん、№１。\r\n"
            "〒100-0001 東京都千代田区千代田１－１　ＴＥＬ：03-1234-5678　～　∵∴≒≡∫√⊥∠\r\n"
            "ⅰⅱⅲⅳⅴⅵⅶⅷⅸⅹ ⅠⅡⅢⅣⅤⅥⅦⅧⅨⅩ ①②③④⑤⑥⑦⑧⑨⑩⑪⑫⑬⑭⑮⑯⑰⑱⑲⑳ ㍉㌔㌢㍍㌘㌧㌃㌶㍑㍗㌍㌦㌣㌫㍊㌻"
            "\r\n纊褜鍈銈蓜俉炻昱棈鋹曻彅丨仡仼伀伃伹佖侒侊侚侔俍偀倢俿倞偆偰偂傔僴僘兊兤冝冾凬刕劜"
            "劦勀勛匀匇匤卲厓厲叝﨎咜咊咩哿喆坙坥垬埈埇﨏塚增墲夋奓奛奝奣妤妺孖寀甯寘寬尞岦岺峵崧嵓"
            "﨑嵂嵭嶸嶹巐弡弴彧德"
            "\r\nabcXYZ 0123456789 !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~");
    const std::string bytes = codec_.Encode(text);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '?'),
              std::count(text.begin(), text.end(), u'?'))
        << "every character is in the code page";
    EXPECT_EQ(codec_.Decode(bytes), text);
}

TEST_F(Cp932CodecTest, AsciiIsTheIdentityBackslashAndTildeIncluded) {
    for (int b = 0; b < 0x80; ++b) {
        const std::string byte(1, static_cast<char>(b));
        ASSERT_EQ(codec_.Decode(byte), std::u16string(1, static_cast<char16_t>(b))) << b;
        ASSERT_EQ(codec_.Encode(std::u16string(1, static_cast<char16_t>(b))), byte) << b;
    }
    EXPECT_EQ(codec_.Decode("\x5C"), u"\u005C");
    EXPECT_EQ(codec_.Decode("\x7E"), u"\u007E");
    EXPECT_EQ(codec_.Encode(u"\u005C\u007E"), "\x5C\x7E");
}

TEST_F(Cp932CodecTest, HalfWidthKatakanaAreSingleBytes) {
    for (int b = 0xA1; b <= 0xDF; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::u16string unit(1, static_cast<char16_t>(0xFF61 + (b - 0xA1)));
        ASSERT_EQ(codec_.Decode(byte), unit) << std::hex << b;
        ASSERT_EQ(codec_.Encode(unit), byte) << std::hex << b;
    }
}

TEST_F(Cp932CodecTest, EncodesNecAndIbmExtensionsAsWindowsDoes) {
    EXPECT_EQ(codec_.Encode(u"\u2170"), Bytes("fa40"));  // ⅰ: IBM row, not NEC-selected EEEF
    EXPECT_EQ(codec_.Encode(u"\u7E8A"), Bytes("fa5c"));  // 纊: IBM row, not ED40
    EXPECT_EQ(codec_.Encode(u"\u2160"), Bytes("8754"));  // Ⅰ: NEC row 13, not FA4A
    EXPECT_EQ(codec_.Encode(u"\u2252"), Bytes("81e0"));  // ≒: JIS row, not 8790
    EXPECT_EQ(codec_.Encode(u"\uFFE2"), Bytes("81ca"));  // ￢: JIS row, not FA54
    EXPECT_EQ(codec_.Encode(u"\u2235"), Bytes("81e6"));  // ∵: JIS row, not FA5B or 879A
    EXPECT_EQ(codec_.Encode(u"\u9AD9"), Bytes("fbfc"));  // 髙
    EXPECT_EQ(codec_.Encode(u"\uFF5E\u2225\uFF0D\uFF3C"), Bytes("8160 8161 817c 815f"));
    // Every code of a duplicated character decodes to it.
    EXPECT_EQ(codec_.Decode(Bytes("ed40 fa5c")), u"\u7E8A\u7E8A");
    EXPECT_EQ(codec_.Decode(Bytes("eeef fa40")), u"\u2170\u2170");
    EXPECT_EQ(codec_.Decode(Bytes("8754 fa4a")), u"\u2160\u2160");
    EXPECT_EQ(codec_.Decode(Bytes("81e0 8790")), u"\u2252\u2252");
}

TEST_F(Cp932CodecTest, UserDefinedAreaIsThePrivateUseArea) {
    EXPECT_EQ(codec_.Decode(Bytes("f040 f9fc")), u"\uE000\uE757");
    EXPECT_EQ(codec_.Encode(u"\uE000\uE757"), Bytes("f040 f9fc"));
}

TEST_F(Cp932CodecTest, UndecodableBytesAreEscapedOneAtATime) {
    EXPECT_EQ(codec_.Decode("\x80"), u"\xDC80");
    EXPECT_EQ(codec_.Decode("\x80\xA0\xFD\xFE\xFF"), u"\xDC80\xDCA0\xDCFD\xDCFE\xDCFF");
    EXPECT_EQ(codec_.Decode("a\x80"
                            "b"),
              u"a\xDC80"
              "b");
    // A lead byte at the very end.
    EXPECT_EQ(codec_.Decode("ab\x82"), u"ab\xDC82");
    // A lead byte with a bad trail byte escapes only itself.
    EXPECT_EQ(codec_.Decode("\x82\x20\x82\xA0"), u"\xDC82 \u3042");
    EXPECT_EQ(codec_.Decode(Bytes("8540 eb40")), u"\xDC85@\xDCEB@");
}

TEST_F(Cp932CodecTest, LeadByteBeforeCrOrLfDoesNotSwallowIt) {
    EXPECT_EQ(codec_.Decode("\x82\r\nab"), u"\xDC82\r\nab");
    EXPECT_EQ(codec_.Decode("\x93\nab"), u"\xDC93\nab");
    EXPECT_EQ(codec_.Decode("\xE0\r"), u"\xDCE0\r");
}

TEST_F(Cp932CodecTest, EscapedBytesEncodeBackToTheirBytes) {
    EXPECT_EQ(codec_.Encode(u"\xDC80\xDCFF"
                            "a\xDC82"),
              "\x80\xFF"
              "a\x82");
}

// Leads whose characters also have a code elsewhere encode to that other code, as on
// Windows, so only the decoded text of those round trips.
bool HasSecondCode(unsigned char lead) {
    return lead == 0x87 || lead == 0xED || lead == 0xEE || lead == 0xFA;
}

TEST_F(Cp932CodecTest, ArbitraryBytesRoundTripExactly) {
    std::mt19937 rng(20240601);
    std::uniform_int_distribution<int> byteDist(0, 255);
    std::uniform_int_distribution<int> lengthDist(0, 64);
    for (int iteration = 0; iteration < 5000; ++iteration) {
        std::string bytes;
        const int length = lengthDist(rng);
        while (static_cast<int>(bytes.size()) < length) {
            const auto b = static_cast<unsigned char>(byteDist(rng));
            if (!HasSecondCode(b)) {
                bytes.push_back(static_cast<char>(b));
            }
        }
        const std::u16string text = codec_.Decode(bytes);
        ASSERT_LE(text.size(), bytes.size());
        ASSERT_EQ(codec_.Encode(text), bytes) << testing::PrintToString(bytes);
    }
}

TEST_F(Cp932CodecTest, ArbitraryBytesKeepTheirLineBreaksAndLength) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> byteDist(0, 255);
    for (int iteration = 0; iteration < 5000; ++iteration) {
        std::string bytes(static_cast<std::size_t>(iteration % 50), '\0');
        for (char& c : bytes) {
            c = static_cast<char>(byteDist(rng) < 32 ? "\r\n\x82\xED"[byteDist(rng) % 4]
                                                     : byteDist(rng));
        }
        const std::u16string text = codec_.Decode(bytes);
        ASSERT_LE(text.size(), bytes.size());
        for (const char16_t c : {u'\r', u'\n'}) {
            ASSERT_EQ(std::count(text.begin(), text.end(), c),
                      std::count(bytes.begin(), bytes.end(), static_cast<char>(c)))
                << testing::PrintToString(bytes);
        }
        ASSERT_EQ(codec_.Encode(text).size(), bytes.size()) << testing::PrintToString(bytes);
    }
}

TEST_F(Cp932CodecTest, EveryDoubleByteCodeDecodesToOneUnitOrEscapesItsLead) {
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead == 0xA0) {
            lead = 0xE0;  // A0..DF are single bytes
        }
        for (int trail = 0x00; trail <= 0xFF; ++trail) {
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            const std::u16string text = codec_.Decode(bytes);
            if (text.size() == 1) {
                ASSERT_FALSE(IsEscapedByte(text[0]));
                if (!HasSecondCode(static_cast<unsigned char>(lead))) {
                    ASSERT_EQ(codec_.Encode(text), bytes) << std::hex << lead << " " << trail;
                }
            } else {
                ASSERT_EQ(text.size(), 2u) << std::hex << lead << " " << trail;
                ASSERT_EQ(text[0], kEscapedByteBase + lead) << std::hex << lead << " " << trail;
            }
        }
    }
}

TEST_F(Cp932CodecTest, UnencodableCharactersGiveOneQuestionMarkEach) {
    EXPECT_EQ(codec_.Encode(u"𠮷"), "?");
    EXPECT_EQ(codec_.Encode(u"😀"), "?");
    EXPECT_EQ(codec_.Encode(u"a𠮷b😀😀c"), "a?b??c");
    EXPECT_EQ(codec_.Encode(u"\xD842"), "?");  // a lone high surrogate at the end
    EXPECT_EQ(codec_.Encode(u"\xD842"
                            "a"),
              "?a");  // a lone high surrogate before a letter
    EXPECT_EQ(codec_.Encode(u"a\xDC41"
                            "b"),
              "a?b");  // a lone low surrogate, not an escape
    EXPECT_EQ(codec_.Encode(u"\xD842\xD842\xDFB7"), "??");
    EXPECT_EQ(codec_.Encode(u"가é東"), "??" + Bytes("938c"));
}

TEST_F(Cp932CodecTest, AppendsToWhatIsThere) {
    std::u16string text = u"前";
    codec_.Decode("ab", text);
    EXPECT_EQ(text, u"前ab");
    std::string bytes = "x";
    codec_.Encode(u"東", bytes);
    EXPECT_EQ(bytes, "x" + Bytes("938c"));
    EXPECT_EQ(codec_.Decode(""), u"");
    EXPECT_EQ(codec_.Encode(u""), "");
}

TEST_F(Cp932CodecTest, LargeTextsWithManyRefusedCharacters) {
    std::u16string text;
    std::string expected;
    for (int i = 0; i < 100000; ++i) {
        text += u"東😀\xDC80";
        expected += Bytes("938c 3f 80");
    }
    EXPECT_EQ(codec_.Encode(text), expected);
    std::u16string decoded;
    for (int i = 0; i < 100000; ++i) {
        decoded += u"東?\xDC80";
    }
    EXPECT_EQ(codec_.Decode(expected), decoded);
}

// The platform converter driven directly over a whole string, escaping one byte or
// replacing one character wherever it stops: what the codec must give, however it gets it.
class Reference {
  public:
    Reference() : toUtf16_(iconv_open(kUtf16, "CP932")), fromUtf16_(iconv_open("CP932", kUtf16)) {}
    ~Reference() {
        iconv_close(toUtf16_);
        iconv_close(fromUtf16_);
    }

    std::u16string Decode(std::string_view bytes) {
        std::u16string out(bytes.size(), u'\0');
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        char* dst = reinterpret_cast<char*>(out.data());
        std::size_t outLeft = out.size() * 2;
        while (inLeft > 0 && iconv(toUtf16_, &in, &inLeft, &dst, &outLeft) == std::size_t(-1)) {
            const char16_t escaped = kEscapedByteBase + static_cast<unsigned char>(*in);
            std::memcpy(dst, &escaped, 2);
            dst += 2;
            outLeft -= 2;
            ++in;
            --inLeft;
        }
        iconv(toUtf16_, nullptr, nullptr, nullptr, nullptr);
        out.resize(out.size() - outLeft / 2);
        return out;
    }

    std::string Encode(std::u16string_view text) {
        std::string out;
        std::size_t i = 0;
        while (i < text.size()) {
            char buffer[8];
            char* in = reinterpret_cast<char*>(const_cast<char16_t*>(text.data() + i));
            std::size_t inLeft = 2;
            const bool pair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() &&
                              text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
            if (pair) {
                inLeft = 4;
            }
            char* dst = buffer;
            std::size_t outLeft = sizeof buffer;
            if (iconv(fromUtf16_, &in, &inLeft, &dst, &outLeft) != std::size_t(-1)) {
                out.append(buffer, sizeof buffer - outLeft);
            } else if (IsEscapedByte(text[i])) {
                out.push_back(static_cast<char>(text[i] - kEscapedByteBase));
            } else {
                out.push_back('?');
            }
            iconv(fromUtf16_, nullptr, nullptr, nullptr, nullptr);
            i += pair ? 2 : 1;
        }
        return out;
    }

  private:
    static constexpr const char* kUtf16 =
        std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
    iconv_t toUtf16_;
    iconv_t fromUtf16_;
};

TEST_F(Cp932CodecTest, DecodesEveryShortSequenceAsThePlatformConverterDoes) {
    Reference reference;
    for (int first = 0; first < 256; ++first) {
        const std::string one(1, static_cast<char>(first));
        ASSERT_EQ(codec_.Decode(one), reference.Decode(one)) << std::hex << first;
        for (int second = 0; second < 256; ++second) {
            const std::string two{static_cast<char>(first), static_cast<char>(second)};
            ASSERT_EQ(codec_.Decode(two), reference.Decode(two))
                << std::hex << first << " " << second;
            const std::string three = two + "\x82\xA0";
            ASSERT_EQ(codec_.Decode(three), reference.Decode(three))
                << std::hex << first << " " << second;
        }
    }
}

TEST_F(Cp932CodecTest, DecodesRandomBytesAsThePlatformConverterDoes) {
    Reference reference;
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> byteDist(0, 255);
    for (int iteration = 0; iteration < 3000; ++iteration) {
        std::string bytes(static_cast<std::size_t>(iteration % 80), '\0');
        for (char& c : bytes) {
            c = static_cast<char>(byteDist(rng));
        }
        ASSERT_EQ(codec_.Decode(bytes), reference.Decode(bytes)) << testing::PrintToString(bytes);
    }
}

TEST_F(Cp932CodecTest, EncodesEveryUnitAsThePlatformConverterDoes) {
    Reference reference;
    for (int u = 0; u < 0x10000; ++u) {
        const std::u16string unit(1, static_cast<char16_t>(u));
        ASSERT_EQ(codec_.Encode(unit), reference.Encode(unit)) << std::hex << u;
    }
}

TEST_F(Cp932CodecTest, EncodesRandomTextAsThePlatformConverterDoes) {
    Reference reference;
    std::mt19937 rng(6);
    const std::u16string likely = u"あ東ｱa\r\n\xD842\xDFB7\xDC80\xDCFF\xDC10\xD800・～";
    for (int iteration = 0; iteration < 3000; ++iteration) {
        std::u16string text;
        for (int i = 0; i < iteration % 60; ++i) {
            text += (rng() % 2) ? likely[rng() % likely.size()] : static_cast<char16_t>(rng());
        }
        ASSERT_EQ(codec_.Encode(text), reference.Encode(text)) << test::Utf8(text);
    }
}

TEST(ThreadCodec, EachThreadHasItsOwn) {
    const std::string bytes = Bytes("8ce1 9479 82cd 944c 82c5 82a0 82e9 8142 80");
    const std::u16string expected = U16("吾輩は猫である。") + u"\xDC80";
    Cp932Codec* first = &ThreadCodec();
    Cp932Codec* other = nullptr;
    bool otherOk = true;
    std::thread worker([&] {
        other = &ThreadCodec();
        for (int i = 0; i < 2000; ++i) {
            otherOk = otherOk && ThreadCodec().Decode(bytes) == expected &&
                      ThreadCodec().Encode(expected) == bytes;
        }
    });
    bool ok = true;
    for (int i = 0; i < 2000; ++i) {
        ok = ok && ThreadCodec().Decode(bytes) == expected &&
             ThreadCodec().Encode(expected) == bytes;
    }
    worker.join();
    EXPECT_NE(first, other);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(otherOk);
}

// Characters outside the code page take the converter's best fit, as Windows gives them.
TEST(Cp932Codec, BestFitCharactersTakeTheirLookAlike) {
    Cp932Codec codec;
    EXPECT_EQ(codec.Encode(u"\u00A5100"), "\\100");
    EXPECT_EQ(codec.Encode(u"\u2014"), "\x81\x5C");
    EXPECT_EQ(codec.Encode(u"\u2212"), "\x81\x7C");
}

}  // namespace
}  // namespace quillery
