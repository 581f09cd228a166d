#include "win32/DebugConvertDlg.h"

#include "win32/DialogHooks.h"
#include "win32/DialogLayout.h"
#include "win32/DialogState.h"
#include "win32/MessageBoxes.h"
#include "win32/ResourceIds.h"
#include "win32/WindowText.h"
#include "windowlogic/SeedField.h"
#include "windowlogic/Texts.h"

namespace quillery::win32 {
namespace {

struct DebugConvertDlg {
    Settings& settings;
    DebugOptions options;
};

void OnOk(DebugConvertDlg& state, HWND dialog) {
    HWND seedField = GetDlgItem(dialog, IDC_SEED);
    const std::optional<std::uint32_t> seed = ParseSeedField(WindowText(seedField));
    if (!seed) {
        ShowMessageBox(dialog, texts::kSeedRefused, MB_OK | MB_ICONWARNING);
        SetFocus(seedField);
        SendMessageW(seedField, EM_SETSEL, 0, -1);
        return;
    }
    state.options.randomSeed = *seed;
    state.options.useFixedSeed = IsDlgButtonChecked(dialog, IDC_FIXED_SEED) == BST_CHECKED;
    state.options.insertMark = IsDlgButtonChecked(dialog, IDC_INSERT_MARK) == BST_CHECKED;
    StoreDebugOptions(state.options, state.settings);
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = DialogState<DebugConvertDlg>(dialog, message, lParam);
    if (state == nullptr) {
        return FALSE;
    }
    switch (message) {
        case WM_INITDIALOG:
            SetWindowTextU16(GetDlgItem(dialog, IDC_SEED),
                             SeedFieldText(state->options.randomSeed));
            CheckDlgButton(dialog, IDC_FIXED_SEED,
                           state->options.useFixedSeed ? BST_CHECKED : BST_UNCHECKED);
            CheckDlgButton(dialog, IDC_INSERT_MARK,
                           state->options.insertMark ? BST_CHECKED : BST_UNCHECKED);
            SetWindowTextU16(GetDlgItem(dialog, IDC_NEWEST_SEED),
                             NewestSeedText(state->options.newestRandomSeed));
            WidenLabelsToFit(dialog);
            NotifyDialogShown(dialog, IDD_DEBUG_CONVERT);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                    OnOk(*state, dialog);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dialog, IDCANCEL);
                    return TRUE;
                case IDC_COPY_SEED:
                    // The newest seed as the dialog showed it when it opened.
                    SetWindowTextU16(GetDlgItem(dialog, IDC_SEED),
                                     SeedCopyText(NewestSeedText(state->options.newestRandomSeed)));
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}

}  // namespace

bool RunDebugConvertDlg(HWND owner, Settings& settings) {
    DebugConvertDlg state{settings, DebugOptionsFrom(settings)};
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_DEBUG_CONVERT), owner,
                           DialogProc, reinterpret_cast<LPARAM>(&state)) == IDOK;
}

}  // namespace quillery::win32
