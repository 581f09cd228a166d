#pragma once

#include <string>

namespace quillery {

// The process-wide status-bar message: written by a conversion run, read by the window
// when the hand-over arrives. Both sides go through one lock.
void SetStatusText(std::u16string text);
std::u16string StatusText();

}  // namespace quillery
