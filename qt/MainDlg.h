#pragma once

#include <QDialog>
#include <QPointer>
#include <QRect>
#include <memory>
#include <optional>

#include "settings/Settings.h"
#include "windowlogic/CommandIds.h"
#include "windowlogic/RunController.h"
#include "windowlogic/WindowPlacement.h"

class QLabel;
class QPlainTextEdit;
class QStatusBar;

namespace quillery {

class MainMenu;
class QtDispatcher;

// The program's only top-level window: the menu bar, the input pane above the output
// pane, and a one-field status bar. It shows what the shared window rules decide and
// feeds them its events.
class CMainDlg : public QDialog, private RunView {
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
    void SetBusy(bool busy) override;

    // Starts one conversion run unless one is already under way (then does nothing).
    // Returns whether it started.
    bool StartRun();
    bool runActive() const { return runs_->Active(); }
    RunController& runs() { return *runs_; }

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
    // What a run asks of the window.
    void ShowRunMessage(std::u16string_view text) override;
    void ShowStatus(std::u16string_view text) override;
    void SetOutputText(std::u16string_view crLfText) override;
    std::u16string InputText() override;

    // The menu's commands (OnCommand's table) and a dictionary dropped on the window.
    void OnExit();
    void OnSaveInput();
    void OnSaveOutput();
    void OnDictionary();
    void OnDroppedDictionary(const QString& path);
    void OnDebugConvert();
    void OnAbout();
    void OnOnlineHelp();

    void OnInitDialog();
    PlacementInput Placement(QSize frame, int titleHeight) const;
    void PlaceOnceFramed();
    void NoteOuterRect();
    void KeepFocusInAPane();
    QSize MinimumUsableClientSize() const;
    int MenuBarHeight(int width) const;
    void UpdatePaneColors();
    bool ConfirmExit();

    MainMenu* menu_;
    QPlainTextEdit* inputPane_;
    QPlainTextEdit* outputPane_;
    QStatusBar* statusBar_;
    QLabel* statusField_;
    std::unique_ptr<QtDispatcher> dispatcher_;
    std::unique_ptr<RunController> runs_;
    QPlainTextEdit* focusBeforeBusy_ = nullptr;
    QPointer<QPlainTextEdit> lastPane_;  // the pane that last had the focus
    bool busy_ = false;
    bool ended_ = false;
    QSize templateSize_;
    // Until the window manager has framed the window, its place is planned without the
    // frame; once framed, it is planned again with it.
    bool placeOnceFramed_ = true;
    // The last outer rectangle the window system showed the window with.
    std::optional<QRect> seenOuter_;
};

}  // namespace quillery
