#include "cli/Utf8Text.h"

#include <vector>

#include "engine/Utf8.h"

namespace quillery {

Utf8Conversion ConvertUtf8Text(std::string_view bytes, const KeywordList& keywords,
                               const ConversionOptions& options, RandomSource& random) {
    const bool byteOrderMark = bytes.starts_with(kUtf8ByteOrderMark);
    if (byteOrderMark) {
        bytes.remove_prefix(kUtf8ByteOrderMark.size());
    }
    // The text with CR LF for every break, and the breaks as they came. Each copy of a
    // large text is let go as soon as the next one is made.
    std::u16string input;
    std::vector<std::u16string_view> breaks;
    {
        const auto text = Utf8ToUtf16(bytes);
        if (!text) {
            return Utf8Fault::kInputNotUtf8;
        }
        const std::u16string_view wide = *text;
        input.reserve(wide.size() + wide.size() / 8);
        std::size_t from = 0;
        for (std::size_t at; (at = wide.find_first_of(u"\r\n", from)) != wide.npos;) {
            input.append(wide.substr(from, at - from));
            if (wide[at] == u'\n') {
                breaks.push_back(u"\n");
            } else if (wide.substr(at, 2) == u"\r\n") {
                breaks.push_back(u"\r\n");
            } else {
                breaks.push_back(u"\r");
            }
            input += u"\r\n";
            from = at + breaks.back().size();
        }
        input.append(wide.substr(from));
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
    std::size_t from = 0;
    for (std::size_t at;
         next < breaks.size() && (at = engineText.find(u"\r\n", from)) != engineText.npos;) {
        output.append(engineText.substr(from, at - from));
        output += breaks[next++];
        from = at + 2;
    }
    output.append(engineText.substr(from));
    // The engine drops the break that ends the text; it is kept here.
    if (next < breaks.size() && endsWithBreak) {
        output += breaks[next];
    }
    std::u16string().swap(converted.text);
    auto utf8 = Utf16ToUtf8(output);
    if (!utf8) {
        return Utf8Fault::kKeywordNotUnicode;
    }
    ConversionResult<std::string> result;
    result.text = byteOrderMark ? std::string(kUtf8ByteOrderMark) + *utf8 : std::move(*utf8);
    result.stats = converted.stats;
    return result;
}

}  // namespace quillery
