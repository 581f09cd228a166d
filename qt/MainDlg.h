#pragma once

#include <QDialog>
#include <QPointer>
#include <QRect>
#include <memory>
#include <optional>

#include "qt/CommandIds.h"
#include "settings/Settings.h"

class QLabel;
class QPlainTextEdit;
class QStatusBar;

namespace quillery {

class ConvertWorker;
class MainMenu;
class UiOpQueue;
class WindowRunHost;

// The program's only top-level window: the menu bar, the input pane above the output
// pane, and a one-field status bar.
class CMainDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CMainDlg(QWidget* parent = nullptr);
    ~CMainDlg() override;

    QPlainTextEdit* inputPane() const { return inputPane_; }
    QPlainTextEdit* outputPane() const { return outputPane_; }
    MainMenu* menu() const { return menu_; }
    QLabel* statusField() const { return statusField_; }
    QStatusBar* statusBar() const { return statusBar_; }

    void LayoutPanes();
    void RefreshMenusAndTitle();
    void UpdateTitle();
    void SetBusy(bool busy);

    // Starts one conversion run unless one is already under way (then does nothing).
    // Returns whether it started.
    bool StartRun();
    bool runActive() const { return runActive_; }

    quillery::WindowState CurrentWindowState() const;

    // A menu command, by its identifier: what the menu, and only it, calls.
    void OnCommand(CommandId id);
    // The conversion command; nothing while a run is under way.
    void OnConvert();

    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    friend class WindowRunHost;

    // The menu's commands (OnCommand's table) and a dictionary dropped on the window.
    void OnExit();
    void OnRatio(int k);
    void OnWindowRatio(int r);
    void OnBlackBackground();
    void OnReadOnly();
    void OnSaveInput();
    void OnSaveOutput();
    void OnDictionary();
    void OnDroppedDictionary(const QString& path);
    void OnDebugConvert();
    void OnAbout();
    void OnOnlineHelp();

    void OnInitDialog();
    void ApplySavedOuterSize();
    void NoteOuterRect();
    void KeepFocusInAPane();
    QSize MinimumUsableClientSize() const;
    int MenuBarHeight(int width) const;
    void OnStatusHandOver();
    void UpdatePaneColors();
    bool ConfirmExit();
    void RunEnded() { runActive_ = false; }

    MainMenu* menu_;
    QPlainTextEdit* inputPane_;
    QPlainTextEdit* outputPane_;
    QStatusBar* statusBar_;
    QLabel* statusField_;
    UiOpQueue* uiQueue_;
    std::unique_ptr<WindowRunHost> runHost_;
    std::unique_ptr<ConvertWorker> worker_;
    QPlainTextEdit* focusBeforeBusy_ = nullptr;
    QPointer<QPlainTextEdit> lastPane_;  // the pane that last had the focus
    bool runActive_ = false;
    bool ended_ = false;
    bool restoreOuterSize_ = false;
    // The last outer rectangle the window system showed the window with.
    std::optional<QRect> seenOuter_;
};

}  // namespace quillery
