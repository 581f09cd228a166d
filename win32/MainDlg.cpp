#include "win32/MainDlg.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "win32/DialogState.h"
#include "win32/MessageBoxes.h"
#include "win32/ResourceIds.h"
#include "win32/WindowText.h"
#include "windowlogic/KeyRules.h"
#include "windowlogic/MenuModel.h"
#include "windowlogic/PaneLayout.h"
#include "windowlogic/PaneLook.h"
#include "windowlogic/Texts.h"
#include "windowlogic/WindowTitle.h"

namespace quillery::win32 {
namespace {

// The lines of text each pane keeps showing however small the window is made.
constexpr int kMinimumPaneLines = 3;

Rect RectOf(const RECT& r) {
    return {static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right - r.left),
            static_cast<int>(r.bottom - r.top)};
}

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto& areas = *reinterpret_cast<std::vector<Rect>*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(monitor, &info)) {
        const Rect area = RectOf(info.rcWork);
        // The primary screen first.
        if (info.dwFlags & MONITORINFOF_PRIMARY) {
            areas.insert(areas.begin(), area);
        } else {
            areas.push_back(area);
        }
    }
    return TRUE;
}

}  // namespace

MainDlg::MainDlg() = default;

MainDlg::~MainDlg() {
    if (!ended_ && window_ != nullptr) {
        End();
    }
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(blackBrush_)}) {
        if (object != nullptr) {
            DeleteObject(object);
        }
    }
    for (HICON icon : {largeIcon_, smallIcon_}) {
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
}

HWND MainDlg::Create(HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    largeIcon_ =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    smallIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    return CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, DialogProc,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK MainDlg::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = DialogState<MainDlg>(window, message, lParam);
    if (self == nullptr) {
        return FALSE;
    }
    if (message == WM_INITDIALOG) {
        self->window_ = window;
    }
    return self->Handle(message, wParam, lParam);
}

INT_PTR MainDlg::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            return TRUE;  // the dialog manager gives the focus to the input pane
        case WM_SIZE:
            OnSize(LOWORD(lParam), HIWORD(lParam));
            return TRUE;
        case WM_GETMINMAXINFO: {
            const Size minimum = MinimumOuterSize();
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize.x = std::max<LONG>(info->ptMinTrackSize.x, minimum.width);
            info->ptMinTrackSize.y = std::max<LONG>(info->ptMinTrackSize.y, minimum.height);
            return TRUE;
        }
        case WM_DPICHANGED: {
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return TRUE;
        }
        case WM_CTLCOLOREDIT:
            return reinterpret_cast<INT_PTR>(
                OnCtlColorEdit(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)));
        case WM_COMMAND:
            // Menu commands only: the dialog's own IDOK and IDCANCEL (Enter, Esc) never
            // end this window, and the panes' notifications concern nothing here.
            if (HIWORD(wParam) == 0 && lParam == 0) {
                OnCommand(static_cast<CommandId>(LOWORD(wParam)));
            }
            return TRUE;
        case WM_CLOSE:
            OnClose();
            return TRUE;
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wParam));
            return TRUE;
        case PostedDispatcher::kMessage:
            PostedDispatcher::Run(lParam);
            return TRUE;
        case WM_DESTROY:
            PostedDispatcher::DropPending(window_);
            return FALSE;
        default:
            return FALSE;
    }
}

void MainDlg::OnInitDialog() {
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    inputPane_ = GetDlgItem(window_, kInputPaneId);
    outputPane_ = GetDlgItem(window_, kOutputPaneId);
    statusBar_ = CreateWindowExW(
        0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUS_BAR)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE)), nullptr);
    int parts[] = {-1};
    SendMessageW(statusBar_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
    // The panes take text of any length.
    SendMessageW(inputPane_, EM_SETLIMITTEXT, 0, 0);
    SendMessageW(outputPane_, EM_SETLIMITTEXT, 0, 0);

    LoadSettings();
    dispatcher_.SetWindow(window_);
    run_ = std::make_unique<RunController>(dispatcher_, *this, gSettings);
    RefreshMenusAndTitle();
    LayoutPanes();
    SetWindowTextU16(outputPane_, texts::kOutputPlaceholder);
    blackBrush_ = CreateSolidBrush(RGB(0, 0, 0));
    PlaceWindow();
}

void MainDlg::PlaceWindow() {
    RECT current{};
    GetWindowRect(window_, &current);
    PlacementInput input;
    input.saved = SavedWindowRect(gSettings);
    EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&input.workAreas));
    input.defaultOuter = {static_cast<int>(current.right - current.left),
                          static_cast<int>(current.bottom - current.top)};
    input.minimumOuter = MinimumOuterSize();
    // The caption: what a frame without a menu puts above an empty client area.
    RECT caption{0, 0, 0, 0};
    AdjustWindowRectEx(&caption, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE)));
    input.titleHeight = static_cast<int>(-caption.top);
    const Rect planned = PlanWindowRect(input);
    SetWindowPos(window_, nullptr, planned.left, planned.top, planned.width, planned.height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    firstSeen_ = planned;
}

Size MainDlg::MinimumOuterSize() const {
    if (window_ == nullptr || inputPane_ == nullptr) {
        return {1, 1};
    }
    // Every menu title on one row, and the status bar under a few lines of each pane.
    int menuWidth = 0;
    HMENU menu = GetMenu(window_);
    const int titles = menu != nullptr ? GetMenuItemCount(menu) : 0;
    RECT first{}, last{};
    if (titles > 0 && GetMenuItemRect(window_, menu, 0, &first) &&
        GetMenuItemRect(window_, menu, static_cast<UINT>(titles - 1), &last)) {
        menuWidth = static_cast<int>(last.right - first.left);
    }
    HDC dc = GetDC(inputPane_);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(inputPane_, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(inputPane_, dc);
    const int border = 2 * GetSystemMetrics(SM_CYEDGE);
    const int pane = kMinimumPaneLines * static_cast<int>(metrics.tmHeight) + border;
    RECT status{};
    if (statusBar_ != nullptr) {
        GetWindowRect(statusBar_, &status);
    }
    RECT outer{0, 0, std::max(menuWidth, 1),
               2 * pane + static_cast<LONG>(status.bottom - status.top)};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)), TRUE,
                       static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE)));
    return {static_cast<int>(outer.right - outer.left), static_cast<int>(outer.bottom - outer.top)};
}

void MainDlg::OnSize(int width, int height) {
    if (statusBar_ != nullptr) {
        SendMessageW(statusBar_, WM_SIZE, 0, 0);  // the bar follows the window's bottom edge
    }
    // The zero-size notification a minimised window gets shows the status text again,
    // as the run's hand-over does.
    if (width == 0 && height == 0 && run_ != nullptr) {
        ShowStatus(run_->StatusText());
        return;
    }
    LayoutPanes();
}

void MainDlg::LayoutPanes() {
    if (inputPane_ == nullptr || outputPane_ == nullptr) {
        return;
    }
    RECT client{}, status{};
    GetClientRect(window_, &client);
    if (statusBar_ != nullptr) {
        GetClientRect(statusBar_, &status);
    }
    const int width = static_cast<int>(client.right);
    const PaneSplit split = SplitPaneHeights(
        static_cast<std::int32_t>(client.bottom - status.bottom), gSettings.windowRatio);
    MoveWindow(inputPane_, 0, 0, width, split.inputHeight, TRUE);
    MoveWindow(outputPane_, 0, split.outputTop, width, split.outputHeight, TRUE);
}

void MainDlg::RefreshMenusAndTitle() {
    HMENU menu = GetMenu(window_);
    if (menu == nullptr) {
        return;
    }
    SetWindowTextU16(window_, WindowTitle(gSettings));
    for (const MenuItemState& item : MenuStates(gSettings, busy_)) {
        const auto id = static_cast<UINT_PTR>(item.id);
        ModifyMenuW(menu, static_cast<UINT>(id),
                    MF_BYCOMMAND | MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED) |
                        (item.enabled ? MF_ENABLED : MF_GRAYED),
                    id, Wide(item.label).c_str());
    }
    SendMessageW(outputPane_, EM_SETREADONLY, OutputPaneReadOnly(gSettings) ? TRUE : FALSE, 0);
}

void MainDlg::ApplyBusy(bool busy) {
    busy_ = busy;
    // A disabled edit keeps the focus it had, so the run leaves the focus where it was.
    EnableWindow(inputPane_, busy ? FALSE : TRUE);
    EnableWindow(outputPane_, busy ? FALSE : TRUE);
    HMENU menu = GetMenu(window_);
    if (menu == nullptr) {
        return;
    }
    for (const MenuItemState& item : MenuStates(gSettings, busy)) {
        if (std::find(std::begin(kBusyCommands), std::end(kBusyCommands), item.id) ==
            std::end(kBusyCommands)) {
            continue;
        }
        const auto id = static_cast<UINT_PTR>(item.id);
        ModifyMenuW(menu, static_cast<UINT>(id),
                    MF_BYCOMMAND | MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED), id,
                    Wide(item.label).c_str());
    }
}

HBRUSH MainDlg::OnCtlColorEdit(HWND pane, HDC dc) {
    // Only an enabled, writable edit asks with WM_CTLCOLOREDIT; the others ask for the
    // static colours and keep the face colour.
    if (!IsPane(pane) || PaneLookFor(gSettings, false, true) != PaneLook::Black) {
        return nullptr;
    }
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(0, 0, 0));
    SetTextColor(dc, RGB(255, 255, 255));
    return blackBrush_;
}

bool MainDlg::PreTranslateMessage(MSG& message) {
    if (ended_ || window_ == nullptr ||
        (message.hwnd != window_ && !IsChild(window_, message.hwnd))) {
        return false;
    }
    if (message.message == WM_KEYDOWN) {
        RuledKey key = RuledKey::Other;
        switch (message.wParam) {
            case VK_ESCAPE:
                key = RuledKey::Escape;
                break;
            case VK_RETURN:
                key = RuledKey::Enter;
                break;
            case 'A':
                key = RuledKey::A;
                break;
            case VK_TAB:
                key = RuledKey::Tab;
                break;
            default:
                break;
        }
        if (key != RuledKey::Other) {
            HWND focus = GetFocus();
            const bool inPane = IsPane(focus);
            const bool writable = inPane && IsWindowEnabled(focus) &&
                                  (GetWindowLongPtrW(focus, GWL_STYLE) & ES_READONLY) == 0;
            const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
            const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
            switch (MainWindowKeyAction(key, ctrl, shift, inPane, writable)) {
                case KeyAction::PassOn:
                    // Tab moves the focus; a multi-line edit that wants every key would
                    // take it as a character.
                    if (key == RuledKey::Tab && inPane) {
                        if (HWND next = GetNextDlgTabItem(window_, focus, shift ? TRUE : FALSE)) {
                            SetFocus(next);
                        }
                        return true;
                    }
                    break;
                case KeyAction::Swallow:
                    // A multi-line edit would turn Esc into a close request, and Enter
                    // outside a pane would press the dialog's OK.
                    return true;
                case KeyAction::LineBreak:
                    SendMessageW(focus, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"\r\n"));
                    return true;
                case KeyAction::SelectAll:
                    SendMessageW(focus, EM_SETSEL, 0, -1);
                    return true;
                case KeyAction::InsertTab:
                    SendMessageW(focus, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"\t"));
                    return true;
            }
        }
    }
    return IsDialogMessageW(window_, &message) != FALSE;
}

void MainDlg::ShowRunMessage(std::u16string_view text) {
    ShowMessageBox(window_, text, MB_OK | MB_ICONWARNING);
}

void MainDlg::SetBusy(bool busy) {
    ApplyBusy(busy);
}

void MainDlg::ShowStatus(std::u16string_view text) {
    SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
    UpdateWindow(statusBar_);
    LayoutPanes();
}

void MainDlg::SetOutputText(std::u16string_view crLfText) {
    SetWindowTextU16(outputPane_, crLfText);
}

std::u16string MainDlg::InputText() {
    return WindowText(inputPane_);
}

int RunMainWindow(HINSTANCE instance) {
    MainDlg window;
    if (window.Create(instance) == nullptr) {
        return 1;
    }
    MSG message;
    while (!window.Ended() && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!window.PreTranslateMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return 0;
}

}  // namespace quillery::win32
