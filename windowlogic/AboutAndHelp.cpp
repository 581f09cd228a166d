#include "windowlogic/AboutAndHelp.h"

#include "windowlogic/Texts.h"

namespace quillery {

std::u16string AboutText(std::string_view version, std::u16string_view helpAddress) {
    return texts::kProductLinePrefix + std::u16string(version.begin(), version.end()) + u"\r\n" +
           texts::kNoticeLine + u"\r\n\r\n" + std::u16string(helpAddress);
}

std::u16string HelpPrompt(std::u16string_view helpAddress) {
    return texts::kHelpPromptBefore + std::u16string(helpAddress) + texts::kHelpPromptAfter;
}

std::u16string HelpCannotOpen(std::u16string_view helpPath) {
    return texts::kHelpCannotOpenBefore + std::u16string(helpPath) + texts::kHelpCannotOpenAfter;
}

}  // namespace quillery
