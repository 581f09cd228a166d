#include "qt/MainDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QMoveEvent>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QWindow>

#include <utility>

#include "qt/AccessibleNames.h"
#include "qt/ConvertWorker.h"
#include "qt/DialogFont.h"
#include "qt/FileDrops.h"
#include "qt/KeyboardRules.h"
#include "qt/MainDlgGeometry.h"
#include "qt/MainMenu.h"
#include "qt/MainWindowPointer.h"
#include "qt/MessageBox.h"
#include "qt/PaneLayout.h"
#include "qt/PaneText.h"
#include "qt/ResourcesAndTranslations.h"
#include "qt/UiOpQueue.h"
#include "qt/WindowRunHost.h"
#include "settings/FileNames.h"

namespace quillery {

namespace {

const QString kPlaceholder = QStringLiteral("<<< ここに変換結果が表示されます >>>");
const QString kExitQuestion = QStringLiteral("終了しますか？");

// Template 102's client area, in dialog units.
constexpr int kTemplateWidth = 330;
constexpr int kTemplateHeight = 241;

QPlainTextEdit* MakePane(QWidget* parent, int id) {
    // The input pane takes dropped files as text; elsewhere a file is a dictionary.
    QPlainTextEdit* pane =
        id == kInputPaneId ? new FileDropPane(parent) : new QPlainTextEdit(parent);
    pane->setObjectName(QStringLiteral("pane%1").arg(id));
    pane->setFont(DialogFont());
    pane->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    pane->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    pane->setTabChangesFocus(true);
    return pane;
}

}  // namespace

CMainDlg::CMainDlg(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      menu_(new MainMenu(this)),
      inputPane_(MakePane(this, kInputPaneId)),
      outputPane_(MakePane(this, kOutputPaneId)),
      statusBar_(new QStatusBar(this)),
      statusField_(new QLabel(statusBar_)),
      uiQueue_(new UiOpQueue(this)),
      runHost_(std::make_unique<WindowRunHost>(*uiQueue_)) {
    InstallResourcesAndTranslations();
    SetMainWindow(this);
    setObjectName(QStringLiteral("dialog102"));
    setWindowTitle(QStringLiteral("QuilleryMini"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/quillery-mini-256.png")));
    statusBar_->setObjectName(QStringLiteral("statusBar59393"));
    statusField_->setObjectName(QStringLiteral("statusPane0"));
    statusBar_->addWidget(statusField_, 1);
    NameMainWindowParts(inputPane_, outputPane_, statusBar_);
    auto* drops =
        new DictionaryDrops(this, [this](const QString& path) { OnDroppedDictionary(path); });
    drops->Watch(this);
    drops->Watch(outputPane_->viewport());
    drops->Exclude(inputPane_);
    // A pane that a hand-edited ratio pushes under the status bar must not show through.
    statusBar_->setAutoFillBackground(true);
    menu_->menuBar()->setAutoFillBackground(true);
    connect(menu_, &MainMenu::commandTriggered, this, &CMainDlg::OnCommand);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now == inputPane_ || now == outputPane_) {
            lastPane_ = static_cast<QPlainTextEdit*>(now);
        } else if (now == nullptr || now == this) {
            QMetaObject::invokeMethod(this, &CMainDlg::KeepFocusInAPane, Qt::QueuedConnection);
        }
    });
    qApp->installEventFilter(new KeyboardRules(this, inputPane_, outputPane_));
    ShowMenuBarKeyboardHold(menu_->menuBar());

    worker_ = std::make_unique<ConvertWorker>(*runHost_);
    runHost_->SetWorker(worker_.get());
    OnInitDialog();
}

CMainDlg::~CMainDlg() {
    // The panes go before QObject's own teardown; their focus changes concern nothing here.
    disconnect(qApp, nullptr, this, nullptr);
    // The worker stops before anything it reports to goes away.
    worker_.reset();
    if (MainWindow() == this) {
        SetMainWindow(nullptr);
    }
}

void CMainDlg::OnInitDialog() {
    quillery::LoadSettings();
    RefreshMenusAndTitle();
    const DialogUnits units(DialogFont());
    resize(units.X(kTemplateWidth),
           units.Y(kTemplateHeight) + MenuBarHeight(units.X(kTemplateWidth)));
    LayoutPanes();
    outputPane_->setPlainText(kPlaceholder);
    const QRect saved(gSettings.windowX, gSettings.windowY, gSettings.windowWidth,
                      gSettings.windowHeight);
    // A rectangle on no screen would put the window where nobody can reach it: it opens
    // where an unsaved one does.
    if (gSettings.windowX != 0 && gSettings.windowY != 0 && gSettings.windowWidth != 0 &&
        gSettings.windowHeight != 0 && IsOnAnyScreen(saved)) {
        move(saved.topLeft());
        resize(saved.size().expandedTo(MinimumUsableClientSize()));
        restoreOuterSize_ = true;
    }
}

QSize CMainDlg::MinimumUsableClientSize() const {
    // Every menu title on one row, and the status bar under three lines of each pane.
    // Below this a hand-edited size gives a window without its bars (or, at zero, no
    // window at all).
    const int width = menu_->menuBar()->sizeHint().width();
    const int pane = 3 * inputPane_->fontMetrics().lineSpacing() + 2 * inputPane_->frameWidth();
    return {width, MenuBarHeight(width) + 2 * pane + statusBar_->sizeHint().height()};
}

void CMainDlg::ApplySavedOuterSize() {
    // The saved size is the outer one. A window manager adds its frame only once the
    // window is mapped, so correct the size the first time the window system shows the
    // frame around it.
    if (!restoreOuterSize_) {
        return;
    }
    const std::optional<QRect> outer = LiveOuterRect(*this);
    if (!outer) {
        return;
    }
    const QSize frame = outer->size() - size();
    if (frame.isEmpty()) {
        return;  // no frame yet (or none at all: the size is already the outer one)
    }
    restoreOuterSize_ = false;
    const QSize client = QSize(gSettings.windowWidth, gSettings.windowHeight) - frame;
    resize(client.expandedTo(MinimumUsableClientSize()));
}

void CMainDlg::NoteOuterRect() {
    if (isMinimized() || isMaximized()) {
        return;
    }
    if (const std::optional<QRect> outer = LiveOuterRect(*this)) {
        seenOuter_ = outer;
    }
}

void CMainDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The window manager may frame and map the window after the last move or resize
    // that Qt reports; the first exposure comes after it.
    if (QWindow* handle = windowHandle()) {
        handle->removeEventFilter(this);
        handle->installEventFilter(this);
    }
    ApplySavedOuterSize();
    NoteOuterRect();
}

bool CMainDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::Expose) {
        ApplySavedOuterSize();
        // Once seen, the rectangle is asked of the window system again only at exit, not
        // at every exposure: each ask is a round trip to the X server.
        if (!seenOuter_) {
            NoteOuterRect();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CMainDlg::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    ApplySavedOuterSize();
}

int CMainDlg::MenuBarHeight(int width) const {
    // A narrow window wraps the menu bar onto more rows.
    const int height = menu_->menuBar()->heightForWidth(width);
    return height > 0 ? height : menu_->menuBar()->sizeHint().height();
}

void CMainDlg::LayoutPanes() {
    if (inputPane_ == nullptr || outputPane_ == nullptr) {
        return;
    }
    const int width = this->width();
    const int menuHeight = MenuBarHeight(width);
    const int statusHeight = statusBar_->sizeHint().height();
    const int clientHeight = std::max(0, height() - menuHeight);
    menu_->menuBar()->setGeometry(0, 0, width, menuHeight);
    statusBar_->setGeometry(0, menuHeight + clientHeight - statusHeight, width, statusHeight);
    const PaneSplit split = SplitPaneHeights(clientHeight - statusHeight, gSettings.windowRatio);
    inputPane_->setGeometry(0, menuHeight, width, split.inputHeight);
    outputPane_->setGeometry(0, menuHeight + split.outputTop, width, split.outputHeight);
    // A pane pushed past its share by a hand-edited ratio goes under the bars, not over.
    menu_->menuBar()->raise();
    statusBar_->raise();
}

void CMainDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayoutPanes();
    if (isVisible()) {
        ApplySavedOuterSize();
    }
}

void CMainDlg::OnStatusHandOver() {
    statusField_->setText(QString::fromStdU16String(quillery::StatusText()));
    statusField_->repaint();
    LayoutPanes();
}

void CMainDlg::UpdateTitle() {
    const std::string name = quillery::FileNameFromPath(gSettings.dictionaryPath.Bytes());
    // A hand-edited ratio wraps as the 32-bit product would.
    const auto percent =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(gSettings.insertRatio) * 10u);
    setWindowTitle(QStringLiteral("Quillery - ") + QString::number(percent) + QStringLiteral("% ") +
                   DisplayFromCp932(name));
}

void CMainDlg::RefreshMenusAndTitle() {
    if (menu_ == nullptr) {
        return;
    }
    UpdateTitle();
    menu_->Refresh(gSettings);
    outputPane_->setReadOnly(gSettings.editReadOnly != 0);
    UpdatePaneColors();
}

void CMainDlg::UpdatePaneColors() {
    for (QPlainTextEdit* pane : {inputPane_, outputPane_}) {
        QPalette palette = QApplication::palette(pane);
        if (pane->isReadOnly()) {
            // A read-only edit shows the window's face colour, so it does not look
            // as if it could be typed into; its text keeps the usual colour.
            for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
                palette.setColor(group, QPalette::Base, palette.color(group, QPalette::Window));
            }
        } else if (gSettings.blackBackground == 1 && pane->isEnabled()) {
            palette.setColor(QPalette::Base, Qt::black);
            palette.setColor(QPalette::Text, Qt::white);
        }
        pane->setPalette(palette);
    }
}

void CMainDlg::SetBusy(bool busy) {
    // Qt moves the focus away from a widget it disables; a disabled Windows edit keeps
    // it. Give it back to the pane that had it, so the run leaves the focus where it was.
    // The pane to give back is the one that last had the focus: a run started from the
    // menu begins while the menu bar still has it.
    if (busy) {
        QWidget* focus = QApplication::focusWidget();
        focusBeforeBusy_ = (focus == inputPane_ || focus == outputPane_)
                               ? static_cast<QPlainTextEdit*>(focus)
                               : lastPane_.data();
    }
    inputPane_->setEnabled(!busy);
    outputPane_->setEnabled(!busy);
    // Meanwhile Qt has parked the focus on the window, or nowhere, and a menu used during
    // the run may have left it there (or on a menu bar that took the keyboard with no
    // pane to give it back to); keys would go nowhere.
    if (!busy && focusBeforeBusy_ != nullptr) {
        lastPane_ = focusBeforeBusy_;
        if (QApplication::focusWidget() != inputPane_ &&
            QApplication::focusWidget() != outputPane_) {
            focusBeforeBusy_->setFocus(Qt::OtherFocusReason);
        }
    }
    menu_->SetBusy(busy);
    UpdatePaneColors();
}

void CMainDlg::KeepFocusInAPane() {
    // A menu bar left with Esc gives the focus back to what had it when the bar took the
    // keyboard: nothing, or the window itself, when the panes were disabled at the time.
    // While the window is active and the panes can take keys, the last pane has them.
    if (ended_ || !isActiveWindow() || QApplication::activePopupWidget() != nullptr ||
        !inputPane_->isEnabled()) {
        return;
    }
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || focus == this) {
        (lastPane_ != nullptr ? lastPane_.data() : inputPane_)->setFocus(Qt::OtherFocusReason);
    }
}

bool CMainDlg::StartRun() {
    if (runActive_ || ended_) {
        return false;
    }
    runActive_ = true;
    quillery::RunRequest request;
    request.dictionaryPathEmpty = gSettings.dictionaryPath.Empty();
    request.dictionaryFile = quillery::Cp932ToFileSystemName(gSettings.dictionaryPath.Bytes());
    request.insertRatio = gSettings.insertRatio;
    request.debugRun = gSettings.debugRun;
    request.useFixedSeed = gSettings.useFixedSeed;
    request.insertMark = gSettings.insertMark;
    request.randomSeed = gSettings.randomSeed;
    worker_->Start(std::move(request));
    return true;
}

quillery::WindowState CMainDlg::CurrentWindowState() const {
    quillery::WindowState state;
    state.minimized = isMinimized();
    state.maximized = isMaximized();
    // The rectangle as the window system has it now, else the one it showed when the
    // window first appeared. A window it never showed leaves the four keys as they are,
    // as a minimised one does: a rectangle the window never had must not be saved.
    std::optional<QRect> outer = LiveOuterRect(*this);
    if (!outer) {
        outer = seenOuter_;
    }
    if (!outer) {
        state.rectangleKnown = false;
        return state;
    }
    state.left = outer->x();
    state.top = outer->y();
    state.right = outer->x() + outer->width();
    state.bottom = outer->y() + outer->height();
    return state;
}

void CMainDlg::OnCommand(CommandId id) {
    const int value = static_cast<int>(id);
    if (value >= static_cast<int>(CommandId::Ratio0) &&
        value <= static_cast<int>(CommandId::Ratio100)) {
        OnRatio(value - static_cast<int>(CommandId::Ratio0));
        return;
    }
    for (int r = 1; r <= 5; ++r) {
        if (id == WindowRatioCommand(r)) {
            OnWindowRatio(r);
            return;
        }
    }
    // The menu commands and what each one calls.
    static constexpr std::pair<CommandId, void (CMainDlg::*)()> kCommands[] = {
        {CommandId::SaveInput, &CMainDlg::OnSaveInput},
        {CommandId::SaveOutput, &CMainDlg::OnSaveOutput},
        {CommandId::Exit, &CMainDlg::OnExit},
        {CommandId::Convert, &CMainDlg::OnConvert},
        {CommandId::DebugConvert, &CMainDlg::OnDebugConvert},
        {CommandId::Dictionary, &CMainDlg::OnDictionary},
        {CommandId::BlackBackground, &CMainDlg::OnBlackBackground},
        {CommandId::ReadOnly, &CMainDlg::OnReadOnly},
        {CommandId::OnlineHelp, &CMainDlg::OnOnlineHelp},
        {CommandId::About, &CMainDlg::OnAbout},
    };
    for (const auto& [command, handler] : kCommands) {
        if (command == id) {
            (this->*handler)();
            return;
        }
    }
}

void CMainDlg::OnConvert() {
    if (runActive_) {
        return;
    }
    gSettings.debugRun = 0;
    StartRun();
}

void CMainDlg::OnRatio(int k) {
    gSettings.insertRatio = k;
    RefreshMenusAndTitle();
}

void CMainDlg::OnWindowRatio(int r) {
    gSettings.windowRatio = r;
    LayoutPanes();
    RefreshMenusAndTitle();
}

void CMainDlg::OnBlackBackground() {
    gSettings.blackBackground = gSettings.blackBackground == 1 ? 0 : 1;
    RefreshMenusAndTitle();
    update();
}

void CMainDlg::OnReadOnly() {
    gSettings.editReadOnly = gSettings.editReadOnly == 1 ? 0 : 1;
    RefreshMenusAndTitle();
}

bool CMainDlg::ConfirmExit() {
    if (ShowMessage(this, kExitQuestion, MessageButtons::YesNo, MessageIcon::Question) ==
        MessageResult::No) {
        return false;
    }
    quillery::SaveSettings(CurrentWindowState());
    return true;
}

void CMainDlg::closeEvent(QCloseEvent* event) {
    if (ended_) {
        event->accept();
        return;
    }
    event->ignore();
    if (ConfirmExit()) {
        done(QDialog::Rejected);
    }
}

void CMainDlg::OnExit() {
    if (ConfirmExit()) {
        done(QDialog::Accepted);
    }
}

void CMainDlg::done(int result) {
    // From here on a run still under way reaches nothing of the window.
    ended_ = true;
    uiQueue_->Close();
    if (MainWindow() == this) {
        SetMainWindow(nullptr);
    }
    QDialog::done(result);
}

}  // namespace quillery
