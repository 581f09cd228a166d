#include "windowlogic/PaneFile.h"

#include "engine/Cp932Codec.h"
#include "engine/Cp932Text.h"

namespace quillery {

std::string PaneFileBytes(std::u16string_view crLfText) {
    std::u16string text(crLfText);
    // The codec turns an escaped byte back into a raw byte; only one that follows a high
    // surrogate is half of a character.
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsEscapedByte(text[i]) && (i == 0 || !IsHighSurrogate(text[i - 1]))) {
            text[i] = u'?';
        }
    }
    return ThreadCodec().Encode(text);
}

std::u16string WithCrLf(std::u16string_view text, LoneCr loneCr) {
    std::u16string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                out += u"\r\n";
                ++i;
            } else {
                out += loneCr == LoneCr::Break ? u"\r\n" : u"\r";
            }
        } else if (text[i] == u'\n') {
            out += u"\r\n";
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::u16string DisplayFromCp932(std::string_view bytes) {
    std::u16string text = ThreadCodec().Decode(bytes);
    for (char16_t& c : text) {
        if (IsEscapedByte(c)) {
            c = 0xFFFD;
        }
    }
    return text;
}

}  // namespace quillery
