#pragma once

#include <string>

namespace quillery {

struct Settings;

// "Quillery - " + the insertion ratio in percent + "% " + the dictionary's file name. A
// hand-edited ratio wraps as the 32-bit product would; a byte of the name that is not
// code page 932 shows as U+FFFD.
std::u16string WindowTitle(const Settings& settings);

}  // namespace quillery
