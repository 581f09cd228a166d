#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "win32/PostedDispatcher.h"
#include "windowlogic/CommandIds.h"
#include "windowlogic/RunController.h"
#include "windowlogic/WindowPlacement.h"

namespace quillery::win32 {

// The main window: dialog template 102 with its menu, the input pane 1003 over the output
// pane 1004 and a one-field status bar. It is modeless, so that its own message loop
// (RunMainWindow) can apply the keyboard rules before the dialog manager sees a key.
// The conversion runs on a worker that never touches a window: what a run does to the
// window reaches it through posted messages, in order.
class MainDlg final : public RunView {
  public:
    MainDlg();
    ~MainDlg() override;
    MainDlg(const MainDlg&) = delete;
    MainDlg& operator=(const MainDlg&) = delete;

    // Creates the window from its template, loads the settings and restores the saved
    // rectangle. Nothing when the window cannot be made.
    HWND Create(HINSTANCE instance);

    // For each message the loop is about to dispatch: the keyboard rules, then the dialog
    // manager's own keys. True when the message is taken.
    bool PreTranslateMessage(MSG& message);

    HWND Window() const { return window_; }
    HWND InputPane() const { return inputPane_; }
    HWND OutputPane() const { return outputPane_; }
    HWND StatusBar() const { return statusBar_; }
    bool Ended() const { return ended_; }
    bool RunActive() const { return run_ != nullptr && run_->Active(); }

    // RunView, on the window's thread in the order the run asks.
    void ShowRunMessage(std::u16string_view text) override;
    void SetBusy(bool busy) override;
    void ShowStatus(std::u16string_view text) override;
    void SetOutputText(std::u16string_view crLfText) override;
    std::u16string InputText() override;

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);

    void OnInitDialog();
    void OnSize(int width, int height);
    void LayoutPanes();
    void RefreshMenusAndTitle();
    void ApplyBusy(bool busy);
    void PlaceWindow();
    Size MinimumOuterSize() const;
    HBRUSH OnCtlColorEdit(HWND pane, HDC dc);
    bool IsPane(HWND window) const { return window == inputPane_ || window == outputPane_; }

    // Commands and what they open (MainDlgCommands.cpp).
    void OnCommand(CommandId id);
    void OnDebugConvert();
    void OnDictionary();
    void SavePaneText(HWND pane);
    void OnOnlineHelp();
    void OnAbout();
    void OnClose();
    void OnExit();
    bool ConfirmExit();
    void OnDropFiles(HDROP drop);
    void End();
    WindowState CurrentWindowState() const;

    HWND window_ = nullptr;
    HWND inputPane_ = nullptr;
    HWND outputPane_ = nullptr;
    HWND statusBar_ = nullptr;
    HICON largeIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HBRUSH blackBrush_ = nullptr;
    bool ended_ = false;
    bool busy_ = false;
    std::optional<Rect> firstSeen_;
    PostedDispatcher dispatcher_;
    std::unique_ptr<RunController> run_;
};

// Shows the main window and runs its message loop until it ends. Returns the exit code.
int RunMainWindow(HINSTANCE instance);

}  // namespace quillery::win32
