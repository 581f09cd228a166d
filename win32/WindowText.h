#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillery::win32 {

// wchar_t is a UTF-16 unit on Windows: the same units under the other type.
inline std::wstring Wide(std::u16string_view text) {
    return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}
inline std::u16string U16(std::wstring_view text) {
    return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

// A window's whole text (an edit control's with its CR LF line breaks).
std::u16string WindowText(HWND window);
void SetWindowTextU16(HWND window, std::u16string_view text);

// A path as the wide file functions and the file choosers take it, from the file
// system's encoding (UTF-8) and back. Nothing for text that does not convert.
std::optional<std::wstring> WidePath(std::string_view utf8);
std::optional<std::string> Utf8Path(std::wstring_view wide);

// The paths of the files a drop carries, in order; the drop is released.
std::vector<std::u16string> TakeDroppedPaths(HDROP drop);

// The program's name as message boxes show it in their caption: the executable's file
// name without its extension.
std::u16string ApplicationName();

}  // namespace quillery::win32
