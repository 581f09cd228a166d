#include "win32/DictionaryDlg.h"

#include <shellapi.h>

#include <vector>

#include "win32/DialogHooks.h"
#include "win32/DialogLayout.h"
#include "win32/DialogState.h"
#include "win32/FileDialogs.h"
#include "win32/MessageBoxes.h"
#include "win32/ResourceIds.h"
#include "win32/WindowText.h"
#include "windowlogic/DictionaryName.h"
#include "windowlogic/DroppedFiles.h"
#include "windowlogic/Texts.h"

namespace quillery::win32 {
namespace {

struct DictionaryDlg {
    std::string current;
    std::optional<std::string> result;
    std::u16string lastText;  // the field's text before the change under way
    bool fitting = false;
};

HWND Field(HWND dialog) {
    return GetDlgItem(dialog, IDC_DICTIONARY_NAME);
}

void SetField(DictionaryDlg& state, HWND dialog, const std::u16string& text) {
    state.fitting = true;
    SetWindowTextU16(Field(dialog), text);
    state.fitting = false;
    state.lastText = text;
}

// A file picked with the chooser or dropped on the dialog replaces the field's text.
void TakeChosenFile(DictionaryDlg& state, HWND dialog, std::u16string_view path) {
    const DictionaryNameCheck check = CheckChosenDictionaryFile(path);
    if (!check.bytes) {
        ShowMessageBox(dialog, check.refusal, MB_OK | MB_ICONWARNING);
        return;
    }
    SetField(state, dialog, DictionaryNameFieldText(*check.bytes));
}

// Keeps the field within what the stored path can hold as the user types or pastes.
void FitField(DictionaryDlg& state, HWND dialog) {
    if (state.fitting) {
        return;
    }
    HWND field = Field(dialog);
    DWORD end = 0;
    SendMessageW(field, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
    const DictionaryFieldEdit edit = FitDictionaryFieldEdit(WindowText(field), end);
    switch (edit.outcome) {
        case DictionaryFieldEdit::Outcome::Accept:
            state.lastText = edit.text;
            break;
        case DictionaryFieldEdit::Outcome::Refuse:
            SetField(state, dialog, state.lastText);
            ShowMessageBox(dialog, texts::kRefusedCharacters, MB_OK | MB_ICONWARNING);
            break;
        case DictionaryFieldEdit::Outcome::Cut:
            SetField(state, dialog, edit.text);
            SendMessageW(field, EM_SETSEL, edit.cursor, edit.cursor);
            MessageBeep(MB_OK);
            break;
    }
}

void OnOk(DictionaryDlg& state, HWND dialog) {
    const DictionaryNameCheck check = CheckTypedDictionaryName(WindowText(Field(dialog)));
    if (!check.bytes) {
        ShowMessageBox(dialog, check.refusal, MB_OK | MB_ICONWARNING);
        SetFocus(Field(dialog));
        SendMessageW(Field(dialog), EM_SETSEL, 0, -1);
        return;
    }
    state.result = *check.bytes;
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = DialogState<DictionaryDlg>(dialog, message, lParam);
    if (state == nullptr) {
        return FALSE;
    }
    switch (message) {
        case WM_INITDIALOG:
            SetField(*state, dialog, DictionaryNameFieldText(state->current));
            SetWindowTextU16(GetDlgItem(dialog, IDC_EXPLANATION), texts::kDictionaryExplanation);
            WidenLabelsToFit(dialog);
            NotifyDialogShown(dialog, IDD_DICTIONARY);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                    OnOk(*state, dialog);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dialog, IDCANCEL);
                    return TRUE;
                case IDC_BROWSE:
                    if (const auto path = ChooseFile(dialog, FileDialogKind::kOpenDictionary)) {
                        TakeChosenFile(*state, dialog, U16(*path));
                    }
                    return TRUE;
                case IDC_DICTIONARY_NAME:
                    if (HIWORD(wParam) == EN_CHANGE) {
                        FitField(*state, dialog);
                    }
                    return TRUE;
                default:
                    return FALSE;
            }
        case WM_DROPFILES: {
            const std::vector<std::u16string> paths =
                TakeDroppedPaths(reinterpret_cast<HDROP>(wParam));
            if (IsDictionaryDrop(paths)) {
                TakeChosenFile(*state, dialog, paths.front());
            }
            return TRUE;
        }
        default:
            return FALSE;
    }
}

}  // namespace

std::optional<std::string> RunDictionaryDlg(HWND owner, const std::string& current) {
    DictionaryDlg state{current, std::nullopt, {}, false};
    const INT_PTR result =
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_DICTIONARY), owner,
                        DialogProc, reinterpret_cast<LPARAM>(&state));
    if (result != IDOK) {
        return std::nullopt;
    }
    return state.result;
}

}  // namespace quillery::win32
