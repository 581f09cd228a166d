#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quillery {

// The dictionary file dialog's name field: what it may hold is what dictionaryPath can
// hold, code page 932 of at most 255 bytes with no line break.

// The bytes to store for a name, or the message that refuses it.
struct DictionaryNameCheck {
    std::optional<std::string> bytes;
    std::u16string_view refusal;  // empty when accepted
};

// A name typed in the field, checked when OK is pressed.
DictionaryNameCheck CheckTypedDictionaryName(std::u16string_view text);

// The path of a file picked with the chooser or dropped, as text; refused with the
// chooser's own messages.
DictionaryNameCheck CheckChosenDictionaryFile(std::u16string_view path);

// The stored bytes as the field shows them: a byte that is not code page 932 shows as an
// escaped unit that converts back to the same byte.
std::u16string DictionaryNameFieldText(std::string_view bytes);

// An edit of the field as the user types, pastes or drops it: `text` is the field's
// text after the edit, `cursor` where the cursor would be.
struct DictionaryFieldEdit {
    enum class Outcome {
        Accept,  // as it is
        Refuse,  // a character that does not convert: the edit is undone whole, and told
        Cut,     // too long: cut back from the end of what was just put in (before the
                 // cursor) to what fits, and a beep
    };
    Outcome outcome = Outcome::Accept;
    std::u16string text;
    std::size_t cursor = 0;
};
DictionaryFieldEdit FitDictionaryFieldEdit(std::u16string text, std::size_t cursor);

}  // namespace quillery
