#include "windowlogic/DictionaryName.h"

#include "engine/Cp932Codec.h"
#include "settings/FileNames.h"
#include "settings/Settings.h"
#include "windowlogic/Texts.h"

namespace quillery {

namespace {

constexpr std::size_t kMaxBytes = DictionaryPath::kMaxBytes;

DictionaryNameCheck Check(std::u16string_view text, std::u16string_view unusable,
                          std::u16string_view tooLong) {
    std::optional<std::string> bytes = TextNameToCp932(text);
    if (!bytes) {
        return {std::nullopt, unusable};
    }
    if (bytes->size() > kMaxBytes) {
        return {std::nullopt, tooLong};
    }
    return {std::move(bytes), {}};
}

std::size_t ByteLength(std::u16string_view text) {
    return ThreadCodec().Encode(text).size();
}

}  // namespace

DictionaryNameCheck CheckTypedDictionaryName(std::u16string_view text) {
    return Check(text, texts::kRefusedCharacters, texts::kNameTooLong);
}

DictionaryNameCheck CheckChosenDictionaryFile(std::u16string_view path) {
    return Check(path, texts::kUnusableChosenName, texts::kChosenNameTooLong);
}

std::u16string DictionaryNameFieldText(std::string_view bytes) {
    return ThreadCodec().Decode(bytes);
}

DictionaryFieldEdit FitDictionaryFieldEdit(std::u16string text, std::size_t cursor) {
    using Outcome = DictionaryFieldEdit::Outcome;
    cursor = std::min(cursor, text.size());
    if (!TextNameToCp932(text)) {
        return {Outcome::Refuse, std::move(text), cursor};
    }
    if (ByteLength(text) <= kMaxBytes) {
        return {Outcome::Accept, std::move(text), cursor};
    }
    std::u16string head = text.substr(0, cursor);
    const std::u16string tail = text.substr(cursor);
    const std::size_t tailBytes = ByteLength(tail);
    if (tailBytes > kMaxBytes) {
        return {Outcome::Refuse, std::move(text), cursor};
    }
    // Text that converts holds no surrogate pair, so one unit is one character.
    while (!head.empty() && ByteLength(head) + tailBytes > kMaxBytes) {
        head.pop_back();
    }
    const std::size_t at = head.size();
    return {Outcome::Cut, head + tail, at};
}

}  // namespace quillery
