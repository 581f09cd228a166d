// The main window's commands and what they open: the dialogs, saving a pane, the online
// help, the close question, dropped files.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "files/FileIo.h"
#include "settings/ExecutableFolder.h"
#include "settings/FileNames.h"
#include "win32/AboutDlg.h"
#include "win32/DebugConvertDlg.h"
#include "win32/DialogHooks.h"
#include "win32/DictionaryDlg.h"
#include "win32/FileDialogs.h"
#include "win32/MainDlg.h"
#include "win32/MessageBoxes.h"
#include "win32/WindowText.h"
#include "windowlogic/AboutAndHelp.h"
#include "windowlogic/CloseFlow.h"
#include "windowlogic/Commands.h"
#include "windowlogic/DictionaryName.h"
#include "windowlogic/DroppedFiles.h"
#include "windowlogic/PaneFile.h"
#include "windowlogic/Texts.h"
#include "windowlogic/WindowTitle.h"

namespace quillery::win32 {
namespace {

// The help page beside the executable, as the user would open it by hand.
std::wstring HelpPagePath() {
    const std::optional<std::string> folder = ModulePath("help");
    return (folder ? WidePath(*folder).value_or(L"") : L"") + L"\\index.html";
}

// The same page as an address the browser opens.
std::wstring HelpPageAddress() {
    std::wstring path = HelpPagePath();
    for (wchar_t& c : path) {
        if (c == L'\\') {
            c = L'/';
        }
    }
    return L"file:///" + path;
}

}  // namespace

void MainDlg::OnCommand(CommandId id) {
    switch (ApplyCommand(gSettings, id, RunActive())) {
        case WindowAction::None:
            break;
        case WindowAction::Refresh:
            RefreshMenusAndTitle();
            break;
        case WindowAction::LayoutAndRefresh:
            LayoutPanes();
            RefreshMenusAndTitle();
            break;
        case WindowAction::RefreshAndRepaint:
            RefreshMenusAndTitle();
            RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
            break;
        case WindowAction::SaveInput:
            SavePaneText(inputPane_);
            break;
        case WindowAction::SaveOutput:
            SavePaneText(outputPane_);
            break;
        case WindowAction::Exit:
            OnExit();
            break;
        case WindowAction::StartRun:
            run_->Start();
            break;
        case WindowAction::DebugConvert:
            OnDebugConvert();
            break;
        case WindowAction::Dictionary:
            OnDictionary();
            break;
        case WindowAction::OnlineHelp:
            OnOnlineHelp();
            break;
        case WindowAction::About:
            OnAbout();
            break;
    }
}

void MainDlg::OnDebugConvert() {
    if (RunDebugConvertDlg(window_, gSettings) && !ended_) {
        run_->Start();
    }
}

void MainDlg::OnDictionary() {
    if (std::optional<std::string> path =
            RunDictionaryDlg(window_, gSettings.dictionaryPath.Bytes())) {
        gSettings.dictionaryPath.Assign(*path);
        SetWindowTextU16(window_, WindowTitle(gSettings));
    }
}

void MainDlg::SavePaneText(HWND pane) {
    const std::optional<std::wstring> chosen = ChooseFile(window_, FileDialogKind::kSaveText);
    if (!chosen) {
        return;
    }
    // The file is replaced whole or not at all, and one made read-only stays as it is:
    // both fail as a file that does not open.
    const std::optional<std::string> path = Utf8Path(*chosen);
    const std::string bytes = PaneFileBytes(WindowText(pane));
    if (!path || ReplaceWritableFileAtomically(*path, bytes)) {
        ShowMessageBox(window_, texts::kCannotOpenFile, MB_OK | MB_ICONWARNING);
    }
}

void MainDlg::OnOnlineHelp() {
    const std::wstring address = HelpPageAddress();
    if (ShowMessageBox(window_, HelpPrompt(U16(address)), MB_YESNO | MB_ICONQUESTION) == IDYES) {
        if (!OpenAddress(window_, address)) {
            ShowMessageBox(window_, HelpCannotOpen(U16(HelpPagePath())), MB_OK | MB_ICONWARNING);
        }
    }
}

void MainDlg::OnAbout() {
    RunAboutDlg(window_, AboutText(QUILLERY_DISPLAY_VERSION, U16(HelpPageAddress())));
}

bool MainDlg::ConfirmExit() {
    const auto ask = [this](std::u16string_view question) {
        switch (ShowMessageBox(window_, question, MB_YESNO | MB_ICONQUESTION)) {
            case IDYES:
                return Answer::Yes;
            case IDNO:
                return Answer::No;
            default:
                return Answer::Failed;
        }
    };
    return quillery::ConfirmExit(ask, [this] { SaveSettings(CurrentWindowState()); });
}

void MainDlg::OnClose() {
    if (!ended_ && ConfirmExit()) {
        End();
    }
}

void MainDlg::OnExit() {
    if (!ended_ && ConfirmExit()) {
        End();
    }
}

WindowState MainDlg::CurrentWindowState() const {
    RECT live{};
    std::optional<Rect> liveRect;
    if (GetWindowRect(window_, &live)) {
        liveRect = Rect{static_cast<int>(live.left), static_cast<int>(live.top),
                        static_cast<int>(live.right - live.left),
                        static_cast<int>(live.bottom - live.top)};
    }
    return WindowStateToSave(IsIconic(window_) != FALSE, IsZoomed(window_) != FALSE, liveRect,
                             firstSeen_);
}

void MainDlg::End() {
    // From here on a run still under way reaches nothing of the window; the worker is
    // told to stop and waited for (it never waits for the window).
    ended_ = true;
    if (run_ != nullptr) {
        run_->End();
        run_.reset();
    }
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
    // Wakes the message loop, which then sees the window has ended.
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
}

void MainDlg::OnDropFiles(HDROP drop) {
    POINT point{};
    DragQueryPoint(drop, &point);
    const std::vector<std::u16string> paths = TakeDroppedPaths(drop);
    // Where in the window the files were let go.
    ClientToScreen(window_, &point);
    RECT input{};
    GetWindowRect(inputPane_, &input);
    if (PtInRect(&input, point) && IsWindowEnabled(inputPane_)) {
        const DroppedText dropped = ReadDroppedFiles(paths);
        if (!dropped.text) {
            ShowMessageBox(window_, dropped.refusal, MB_OK | MB_ICONWARNING);
            return;
        }
        // Inserted where it was dropped.
        POINT local = point;
        ScreenToClient(inputPane_, &local);
        // The edit tells a position in 16 bits: in a longer text the files go where the
        // caret is.
        if (GetWindowTextLengthW(inputPane_) <= 0xFFFF) {
            const LRESULT hit =
                SendMessageW(inputPane_, EM_CHARFROMPOS, 0, MAKELPARAM(local.x, local.y));
            const WPARAM position = LOWORD(hit);
            SendMessageW(inputPane_, EM_SETSEL, position, position);
        }
        SendMessageW(inputPane_, EM_REPLACESEL, TRUE,
                     reinterpret_cast<LPARAM>(Wide(*dropped.text).c_str()));
        SetFocus(inputPane_);
        return;
    }
    if (!IsDictionaryDrop(paths)) {
        return;
    }
    const DictionaryNameCheck check = CheckChosenDictionaryFile(paths.front());
    if (!check.bytes) {
        ShowMessageBox(window_, check.refusal, MB_OK | MB_ICONWARNING);
        return;
    }
    gSettings.dictionaryPath.Assign(*check.bytes);
    SetWindowTextU16(window_, WindowTitle(gSettings));
}

}  // namespace quillery::win32
