#pragma once

#include <functional>
#include <string_view>

namespace quillery {

// How a Yes/No message box was answered; Failed when it could not be shown.
enum class Answer { Failed, Yes, No };

// The close question, for the Exit command and the close box alike: 終了しますか？ with
// はい and いいえ. いいえ keeps the window, and the settings file as it is. はい, or a box that
// could not be shown (a No the user never gave), saves the settings and ends the window.
// Returns whether the window ends.
bool ConfirmExit(const std::function<Answer(std::u16string_view question)>& askYesNo,
                 const std::function<void()>& saveSettings);

}  // namespace quillery
