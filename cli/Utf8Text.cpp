#include "cli/Utf8Text.h"

#include <vector>

#include "engine/Utf8.h"

namespace quillery {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

std::optional<ConversionResult<std::string>> ConvertUtf8Text(std::string_view bytes,
                                                              const KeywordList& keywords,
                                                              const ConversionOptions& options,
                                                              RandomSource& random) {
    const bool byteOrderMark = bytes.starts_with(kByteOrderMark);
    if (byteOrderMark) {
        bytes.remove_prefix(kByteOrderMark.size());
    }
    // The text with CR LF for every break, and the breaks as they came. Each copy of a
    // large text is let go as soon as the next one is made.
    std::u16string input;
    std::vector<std::u16string_view> breaks;
    {
        const auto text = Utf8ToUtf16(bytes);
        if (!text) {
            return std::nullopt;
        }
        input.reserve(text->size() + text->size() / 8);
        for (std::size_t i = 0; i < text->size(); ++i) {
            const char16_t c = (*text)[i];
            if (c == u'\n') {
                breaks.push_back(u"\n");
            } else if (c == u'\r' && i + 1 < text->size() && (*text)[i + 1] == u'\n') {
                breaks.push_back(u"\r\n");
                ++i;
            } else if (c == u'\r') {
                breaks.push_back(u"\r");
            } else {
                input.push_back(c);
                continue;
            }
            input += u"\r\n";
        }
    }

    auto converted = ConvertText(input, keywords, options, random);
    const bool endsWithBreak = input.ends_with(u"\r\n");
    std::u16string().swap(input);

    // Every CR LF of the output is one of the engine's breaks, in order: the lines hold no
    // CR and no LF, and a keyword holds no LF (it ends at one) and is always followed by a
    // phrase character or ">".
    std::u16string output;
    output.reserve(converted.text.size() + 1);
    std::size_t next = 0;
    const std::u16string_view engineText = converted.text;
    for (std::size_t i = 0; i < engineText.size(); ++i) {
        if (engineText[i] == u'\r' && i + 1 < engineText.size() && engineText[i + 1] == u'\n' &&
            next < breaks.size()) {
            output += breaks[next++];
            ++i;
        } else {
            output.push_back(engineText[i]);
        }
    }
    // The engine drops the break that ends the text; it is kept here.
    if (next < breaks.size() && endsWithBreak) {
        output += breaks[next];
    }
    std::u16string().swap(converted.text);
    auto utf8 = Utf16ToUtf8(output);
    if (!utf8) {
        return std::nullopt;
    }
    ConversionResult<std::string> result;
    result.text = byteOrderMark ? std::string(kByteOrderMark) + *utf8 : std::move(*utf8);
    result.stats = converted.stats;
    return result;
}

}  // namespace quillery
