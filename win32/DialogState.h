#pragma once

#include <windows.h>

namespace quillery::win32 {

// The object a dialog procedure serves: handed over as the creation parameter with
// WM_INITDIALOG and kept in DWLP_USER from then on. Null for the few messages a dialog
// receives before WM_INITDIALOG.
template <typename State>
State* DialogState(HWND dialog, UINT message, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    }
    return reinterpret_cast<State*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

}  // namespace quillery::win32
