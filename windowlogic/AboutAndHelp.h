#pragma once

#include <string>
#include <string_view>

namespace quillery {

// The about box's text: the product line for `version` (as "1.00"), the notice line, an
// empty line and the help page's address, joined by CR LF with no line break at the end.
std::u16string AboutText(std::string_view version, std::u16string_view helpAddress);

// The question オンラインヘルプ asks before the page is opened.
std::u16string HelpPrompt(std::u16string_view helpAddress);

// What is said when nothing could open the page: its path, for the user to open by hand.
std::u16string HelpCannotOpen(std::u16string_view helpPath);

}  // namespace quillery
