#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace quillery::win32 {

// Lets tests reach what the window opens of its own: each dialog once it is up (to drive
// it by messages from inside its modal loop), and the address the online help opens.
using DialogShownHook = std::function<void(HWND dialog, int templateId)>;
void SetDialogShownHook(DialogShownHook hook);
void NotifyDialogShown(HWND dialog, int templateId);

// Hands an address to the system (ShellExecuteW "open"); its result is not examined.
using UrlOpener = std::function<bool(const std::wstring& address)>;
// False when nothing took the address (no program registered for it).
bool OpenAddress(HWND owner, const std::wstring& address);
void SetUrlOpener(UrlOpener opener);

}  // namespace quillery::win32
