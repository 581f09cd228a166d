#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace quillery::win32 {

// The dictionary file dialog (template 132) for the stored path `current` (code page
// 932). The path to store when it ends with OK; nothing when it was cancelled.
std::optional<std::string> RunDictionaryDlg(HWND owner, const std::string& current);

}  // namespace quillery::win32
