#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace quillery::win32 {

// Every message box of the window goes through here, so that tests can answer them.
struct MessageRequest {
    HWND owner = nullptr;
    std::u16string text;
    UINT type = MB_OK;  // buttons and icon, as MessageBoxW takes them
};
// Returns the button pressed (IDOK, IDYES, IDNO), or 0 when no box could be shown.
using MessageBoxHandler = std::function<int(const MessageRequest&)>;

// Shows `text` with the application's name as the caption, modal to `owner`.
int ShowMessageBox(HWND owner, std::u16string_view text, UINT type = MB_OK);

// Replaces the real boxes (for tests); an empty handler restores them.
void SetMessageBoxHandler(MessageBoxHandler handler);

}  // namespace quillery::win32
