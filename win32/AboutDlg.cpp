#include "win32/AboutDlg.h"

#include <string>

#include "win32/DialogHooks.h"
#include "win32/ResourceIds.h"
#include "win32/WindowText.h"

namespace quillery::win32 {
namespace {

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowTextU16(GetDlgItem(dialog, IDC_ABOUT_TEXT),
                             *reinterpret_cast<const std::u16string*>(lParam));
            NotifyDialogShown(dialog, IDD_ABOUT);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

void RunAboutDlg(HWND owner, std::u16string_view text) {
    const std::u16string copy(text);
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUT), owner, DialogProc,
                    reinterpret_cast<LPARAM>(&copy));
}

}  // namespace quillery::win32
