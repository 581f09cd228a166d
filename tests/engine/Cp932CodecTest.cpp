// The code page 932 codec and the text rules beside it.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>

#include "engine/Cp932Codec.h"
#include "engine/Cp932Text.h"
#include "tests/engine/TestSupport.h"

namespace quillery {
namespace {

using test::Bytes;
using namespace std::literals;

class Cp932CodecTest : public testing::Test {
  protected:
    Cp932Codec codec_;
};

// Where the platforms' converters differ (undefined bytes, best fit), a character has two
// codes or another Unicode form.
TEST_F(Cp932CodecTest, TheSameMappingOnEveryPlatform) {
    const std::pair<std::string, std::u16string> decoded[] = {
        {"80", u"\xDC80"},
        {"a0", u"\xDCA0"},
        {"fd", u"\xDCFD"},
        {"ff", u"\xDCFF"},
        {"5c", u"\\"},
        {"7e", u"~"},
        {"a1", u"\uFF61"},
        {"815c", u"\u2015"},
        {"8160", u"\uFF5E"},
        {"8161", u"\u2225"},
        {"817c", u"\uFF0D"},
        {"8191", u"\uFFE0"},
        {"eef9", u"\uFFE2"},
        {"fa54", u"\uFFE2"},
        {"fa4a", u"\u2160"},
        {"eeef", u"\u2170"},
        {"ed40", u"\u7E8A"},
        {"8790", u"\u2252"},
        {"f040", u"\uE000"},
        {"f9fc", u"\uE757"},
        // Unassigned codes: the lead byte alone is escaped.
        {"8540", u"\xDC85@"},
        {"81ad", u"\xDC81\uFF6D"}};
    for (const auto& [hex, text] : decoded) {
        EXPECT_EQ(test::Utf8(codec_.Decode(Bytes(hex))), test::Utf8(text)) << hex;
    }
    const std::pair<std::u16string, std::string> encoded[] = {
        // The forms input methods and web pages give; ¥ never as the backslash byte.
        {u"\u301C\u2016\u2212\u00A2\u00A3\u00AC\u2014", "8160 8161 817c 8191 8192 81ca 815c"},
        {u"\u00A5", "818f"},
        {u"\\\u00A5\uFFE5", "5c 818f 818f"},
        // Look-alikes that are other characters stay "?".
        {u"\u00A6", "?"},
        {u"\u203E", "?"},
        {u"\u00E9", "?"},
        {u"\uF8F0", "?"},
        {u"\u30FB", "8145"},
        {u"\u2015", "815c"},
        {u"\uFF5E", "8160"},
        {u"\u2225", "8161"},
        {u"\uFF0D", "817c"},
        {u"\uFFE2", "81ca"},
        {u"\u2252", "81e0"},
        {u"\u2160", "8754"},
        {u"\u2170", "fa40"},
        {u"\u7E8A", "fa5c"},
        {u"\uE757", "f9fc"},
        {u"\\", "5c"},
        {u"~", "7e"},
        // A character beyond the basic plane is one "?", not one per unit.
        {u"a𠮷b😀😀c", "61 3f 62 3f3f 63"},
        {u"\xD842\xD842\xDFB7", "3f3f"},
        // An escaped lead byte that would join what follows (0xEE 0xFA, 0x88 0xA1) is "?".
        {u"\xDCEE纊", "3f fa5c"},
        {u"X\xDC88\xFF61", "58 3f a1"},
        {u"\xDC88\xDCA1", "3f a1"},
        {u"\xDC88亜", "88 889f"},
        {u"\xDC88\r\n", "88 0d0a"},
        {u"\xDC81\u301C", "3f 8160"}};
    for (const auto& [text, hex] : encoded) {
        EXPECT_EQ(codec_.Encode(text), hex == "?" ? hex : Bytes(hex)) << test::Utf8(text);
    }
    // A stray lead byte before 纊's other code, as a file may hold it.
    EXPECT_EQ(codec_.Encode(codec_.Decode(Bytes("ee ed40"))), Bytes("3f fa5c"));
}

// Text as Linux input methods type it is saved as the code page's characters, which read
// back in the code page's forms; a file name in those forms is not the same name.
TEST_F(Cp932CodecTest, OtherFormsAreWrittenAsTheCodePagesOwn) {
    const std::string bytes = Bytes("3130 8e9e 8160 3132 8e9e 817c 8161 8191 8192 81ca 815c");
    EXPECT_EQ(codec_.Encode(test::U16("10時〜12時−‖¢£¬—")), bytes);
    EXPECT_EQ(test::Utf8(codec_.Decode(bytes)), "10時～12時－∥￠￡￢―");
    EXPECT_EQ(EncodeExactly(test::U16("10時～12時－∥￠￡￢―")), bytes);
    for (const std::u16string_view form :
         {u"〜"sv, u"‖"sv, u"−"sv, u"¢"sv, u"£"sv, u"¬"sv, u"—"sv, u"¥"sv}) {
        EXPECT_FALSE(EncodeExactly(form)) << test::Utf8(form);
        EXPECT_EQ(codec_.Encode(form).size(), 2u) << test::Utf8(form);
    }
}

// Every sequence of one or two bytes decodes whole or byte by byte, and back.
TEST_F(Cp932CodecTest, DecodesEveryShortSequenceWholeOrByteByByte) {
    for (int first = 0; first < 256; ++first) {
        const std::string one(1, static_cast<char>(first));
        const std::u16string alone = codec_.Decode(one);
        ASSERT_EQ(alone.size(), 1u) << first;
        for (int second = 0; second < 256; ++second) {
            const std::string bytes = one + static_cast<char>(second);
            const std::u16string text = codec_.Decode(bytes);
            SCOPED_TRACE(testing::Message() << std::hex << first << " " << second);
            if (text.size() == 1) {
                ASSERT_FALSE(IsEscapedByte(text[0]));
                ASSERT_TRUE(IsEscapedByte(alone[0]));  // only a lead byte starts a pair
            } else {
                ASSERT_EQ(text, alone + codec_.Decode(bytes.substr(1)));
            }
            // Characters of these leads have another code, which is the one written.
            const bool twoCodes = first == 0x87 || first == 0xED || first == 0xEE || first == 0xFA;
            if (text.size() == 2 || !twoCodes) {
                ASSERT_EQ(codec_.Encode(text), bytes);
            }
        }
    }
}

TEST(Cp932Text, LineBreaksAndNul) {
    EXPECT_TRUE(HasLineBreakOrNul(u"a\rb"sv) && HasLineBreakOrNul(u"x\0y"sv));
    EXPECT_FALSE(HasLineBreakOrNul(u"東京 \t\x85\x2028"sv));
    EXPECT_TRUE(HasLineBreakOrNul("a\0"sv));
    const std::pair<std::u16string_view, std::u16string_view> cases[] = {
        {u"a\r\nb\r\n", u"a\nb\n"}, {u"\r\r\n\n", u"\r\n\n"}, {u"a\n\rb\r", u"a\n\rb\r"}};
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(test::Utf8(CrLfToLf(in)), test::Utf8(out));
    }
}

TEST(Cp932Text, EncodeExactlyRefusesWhatDoesNotReadBack) {
    EXPECT_EQ(EncodeExactly(u"表ソa\\~"),
              "\x95\x5C\x83\x5C"
              "a\\~");
    for (const std::u16string_view text : {u"\u301C"sv, u"😀"sv, u"?\xD800"sv,
                                           u"\xDC81"
                                           u"a"sv}) {
        EXPECT_FALSE(EncodeExactly(text)) << test::Utf8(text);
    }
}

}  // namespace
}  // namespace quillery
