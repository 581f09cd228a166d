#pragma once

#include <windows.h>

namespace quillery::win32 {

// Widens each left-aligned label and check box of `dialog` whose text does not fit its
// template width, up to the next control on its right or the dialog's margin: a font
// wider than the one the template was laid out for (a stand-in for ＭＳ Ｐゴシック)
// would otherwise wrap the text onto a line the label has no room for. A text that still
// does not fit is cut at the right edge instead of wrapped out of sight.
void WidenLabelsToFit(HWND dialog);

}  // namespace quillery::win32
