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

#include <algorithm>
#include <utility>

#include "qt/AccessibleNames.h"
#include "qt/DialogFont.h"
#include "qt/FileDrops.h"
#include "qt/KeyboardRules.h"
#include "qt/MainDlgGeometry.h"
#include "qt/MainMenu.h"
#include "qt/MessageBox.h"
#include "qt/PaneText.h"
#include "qt/QtDispatcher.h"
#include "qt/ResourcesAndTranslations.h"
#include "windowlogic/CloseFlow.h"
#include "windowlogic/Commands.h"
#include "windowlogic/MenuModel.h"
#include "windowlogic/PaneLayout.h"
#include "windowlogic/PaneLook.h"
#include "windowlogic/Texts.h"
#include "windowlogic/WindowTitle.h"

namespace quillery {

namespace {

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
      dispatcher_(std::make_unique<QtDispatcher>()),
      runs_(
          std::make_unique<RunController>(*dispatcher_, static_cast<RunView&>(*this), gSettings)) {
    InstallResourcesAndTranslations();
    setObjectName(QStringLiteral("dialog102"));
    setWindowTitle(ToQString(texts::kInitialCaption));
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

    OnInitDialog();
}

CMainDlg::~CMainDlg() {
    // The panes go before QObject's own teardown; their focus changes concern nothing here.
    disconnect(qApp, nullptr, this, nullptr);
    // The worker stops before anything it reports to goes away.
    runs_.reset();
}

void CMainDlg::OnInitDialog() {
    quillery::LoadSettings();
    RefreshMenusAndTitle();
    const DialogUnits units(DialogFont());
    templateSize_ = QSize(units.X(kTemplateWidth),
                          units.Y(kTemplateHeight) + MenuBarHeight(units.X(kTemplateWidth)));
    resize(templateSize_);
    LayoutPanes();
    outputPane_->setPlainText(ToQString(texts::kOutputPlaceholder));
    // Until the window is framed the client takes the whole planned rectangle; the frame
    // is taken off once the window manager has put it around.
    const QRect planned = ToQRect(PlanWindowRect(Placement(QSize(0, 0), 0)));
    move(planned.topLeft());
    resize(planned.size());
}

PlacementInput CMainDlg::Placement(QSize frame, int titleHeight) const {
    const QSize minimum = MinimumUsableClientSize() + frame;
    const QSize unsaved = templateSize_ + frame;
    return {SavedWindowRect(gSettings),
            ScreenWorkAreas(),
            {unsaved.width(), unsaved.height()},
            {minimum.width(), minimum.height()},
            titleHeight};
}

QSize CMainDlg::MinimumUsableClientSize() const {
    // Every menu title on one row, and the status bar under three lines of each pane.
    // Below this a hand-edited size gives a window without its bars (or, at zero, no
    // window at all).
    const int width = menu_->menuBar()->sizeHint().width();
    const int pane = 3 * inputPane_->fontMetrics().lineSpacing() + 2 * inputPane_->frameWidth();
    return {width, MenuBarHeight(width) + 2 * pane + statusBar_->sizeHint().height()};
}

void CMainDlg::PlaceOnceFramed() {
    // The saved size is the outer one, and the title bar must be reachable: both need the
    // frame, which a window manager adds only once the window is mapped.
    if (!placeOnceFramed_) {
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
    placeOnceFramed_ = false;
    const int top = std::clamp(geometry().y() - outer->y(), 0, frame.height());
    const int left = std::clamp(geometry().x() - outer->x(), 0, frame.width());
    const Rect planned = PlanWindowRect(Placement(frame, top));
    const FrameMargins margins{left, top, frame.width() - left, frame.height() - top};
    const QSize minimum = MinimumUsableClientSize();
    const Size client = ClientSizeFor({planned.width, planned.height}, margins,
                                      {minimum.width(), minimum.height()});
    resize(client.width, client.height);
    if (outer->topLeft() != QPoint(planned.left, planned.top)) {
        move(planned.left, planned.top);
    }
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
    PlaceOnceFramed();
    NoteOuterRect();
}

bool CMainDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::Expose) {
        PlaceOnceFramed();
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
    PlaceOnceFramed();
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
        PlaceOnceFramed();
    }
}

void CMainDlg::ShowStatus(std::u16string_view text) {
    statusField_->setText(ToQString(text));
    statusField_->repaint();
    LayoutPanes();
}

void CMainDlg::ShowRunMessage(std::u16string_view text) {
    quillery::ShowMessage(this, ToQString(text));
}

void CMainDlg::SetOutputText(std::u16string_view crLfText) {
    outputPane_->setPlainText(CrLfToPaneText(crLfText));
}

std::u16string CMainDlg::InputText() {
    return PaneTextToCrLf(inputPane_->document()->toRawText());
}

void CMainDlg::UpdateTitle() {
    setWindowTitle(ToQString(WindowTitle(gSettings)));
}

void CMainDlg::RefreshMenusAndTitle() {
    if (menu_ == nullptr) {
        return;
    }
    UpdateTitle();
    menu_->Apply(MenuStates(gSettings, busy_));
    outputPane_->setReadOnly(OutputPaneReadOnly(gSettings));
    UpdatePaneColors();
}

void CMainDlg::UpdatePaneColors() {
    for (QPlainTextEdit* pane : {inputPane_, outputPane_}) {
        QPalette palette = QApplication::palette(pane);
        const PaneLook look = PaneLookFor(gSettings, pane->isReadOnly(), pane->isEnabled());
        if (look == PaneLook::Face) {
            // Its text keeps the usual colour.
            for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
                palette.setColor(group, QPalette::Base, palette.color(group, QPalette::Window));
            }
        } else if (look == PaneLook::Black) {
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
    busy_ = busy;
    menu_->Apply(MenuStates(gSettings, busy));
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
    return runs_->Start();
}

quillery::WindowState CMainDlg::CurrentWindowState() const {
    // A rectangle the window system tells now, else the one it showed when the window
    // first appeared.
    const std::optional<QRect> live = LiveOuterRect(*this);
    return WindowStateToSave(isMinimized(), isMaximized(),
                             live ? std::optional(ToRect(*live)) : std::nullopt,
                             seenOuter_ ? std::optional(ToRect(*seenOuter_)) : std::nullopt);
}

void CMainDlg::OnCommand(CommandId id) {
    switch (ApplyCommand(gSettings, id, runs_->Active())) {
        case WindowAction::None:
            return;
        case WindowAction::Refresh:
            RefreshMenusAndTitle();
            return;
        case WindowAction::LayoutAndRefresh:
            LayoutPanes();
            RefreshMenusAndTitle();
            return;
        case WindowAction::RefreshAndRepaint:
            RefreshMenusAndTitle();
            update();
            return;
        case WindowAction::SaveInput:
            OnSaveInput();
            return;
        case WindowAction::SaveOutput:
            OnSaveOutput();
            return;
        case WindowAction::Exit:
            OnExit();
            return;
        case WindowAction::StartRun:
            StartRun();
            return;
        case WindowAction::DebugConvert:
            OnDebugConvert();
            return;
        case WindowAction::Dictionary:
            OnDictionary();
            return;
        case WindowAction::OnlineHelp:
            OnOnlineHelp();
            return;
        case WindowAction::About:
            OnAbout();
            return;
    }
}

void CMainDlg::OnConvert() {
    OnCommand(CommandId::Convert);
}

bool CMainDlg::ConfirmExit() {
    const auto ask = [this](std::u16string_view question) {
        switch (
            ShowMessage(this, ToQString(question), MessageButtons::YesNo, MessageIcon::Question)) {
            case MessageResult::No:
                return Answer::No;
            case MessageResult::Failed:
                return Answer::Failed;
            default:
                return Answer::Yes;
        }
    };
    return quillery::ConfirmExit(ask, [this] { quillery::SaveSettings(CurrentWindowState()); });
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
    runs_->End();
    QDialog::done(result);
}

}  // namespace quillery
