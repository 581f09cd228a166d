#pragma once

#include <windows.h>

#include <string_view>

namespace quillery::win32 {

// The about box (template 134) showing `text` in its read-only edit.
void RunAboutDlg(HWND owner, std::u16string_view text);

}  // namespace quillery::win32
