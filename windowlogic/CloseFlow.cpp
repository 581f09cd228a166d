#include "windowlogic/CloseFlow.h"

#include "windowlogic/Texts.h"

namespace quillery {

bool ConfirmExit(const std::function<Answer(std::u16string_view question)>& askYesNo,
                 const std::function<void()>& saveSettings) {
    if (askYesNo(texts::kExitQuestion) == Answer::No) {
        return false;
    }
    saveSettings();
    return true;
}

}  // namespace quillery
