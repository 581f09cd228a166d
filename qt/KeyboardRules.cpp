#include "qt/KeyboardRules.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleOptionMenuItem>

#include "windowlogic/KeyRules.h"

namespace quillery {

KeyboardRules::KeyboardRules(QWidget* window, QPlainTextEdit* inputPane, QPlainTextEdit* outputPane)
    : QObject(window), window_(window), inputPane_(inputPane), outputPane_(outputPane) {}

QPlainTextEdit* KeyboardRules::FocusedPane() const {
    QWidget* focus = QApplication::focusWidget();
    if (focus == inputPane_ || focus == inputPane_->viewport()) {
        return inputPane_;
    }
    if (focus == outputPane_ || focus == outputPane_->viewport()) {
        return outputPane_;
    }
    return nullptr;
}

void KeyboardRules::SelectAllKeepingView(QPlainTextEdit* pane) {
    const int vertical = pane->verticalScrollBar()->value();
    const int horizontal = pane->horizontalScrollBar()->value();
    QTextCursor cursor = pane->textCursor();
    cursor.setPosition(0);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    pane->setTextCursor(cursor);
    pane->verticalScrollBar()->setValue(vertical);
    pane->horizontalScrollBar()->setValue(horizontal);
}

bool KeyboardRules::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) {
        return false;
    }
    // Only keys bound for the window itself or a pane: the menu bar keeps its own keys
    // (Enter opens a menu, Esc leaves it).
    if (watched != window_ && watched != inputPane_ && watched != outputPane_) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    QPlainTextEdit* pane = FocusedPane();
    const RuledKey ruled = key->key() == Qt::Key_Escape ? RuledKey::Escape
                           : key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter
                               ? RuledKey::Enter
                           : key->key() == Qt::Key_A   ? RuledKey::A
                           : key->key() == Qt::Key_Tab ? RuledKey::Tab
                                                       : RuledKey::Other;
    const KeyAction action =
        MainWindowKeyAction(ruled, key->modifiers().testFlag(Qt::ControlModifier),
                            key->modifiers().testFlag(Qt::ShiftModifier), pane != nullptr,
                            pane != nullptr && !pane->isReadOnly());
    const bool consume = action != KeyAction::PassOn;
    if (consume && event->type() == QEvent::KeyPress) {
        switch (action) {
            // Shift+Enter would insert a line separator and Ctrl+Enter nothing; a pane's
            // line break is one kind.
            case KeyAction::LineBreak:
                pane->insertPlainText(QStringLiteral("\n"));
                break;
            case KeyAction::InsertTab:
                pane->insertPlainText(QStringLiteral("\t"));
                break;
            case KeyAction::SelectAll:
                SelectAllKeepingView(pane);
                break;
            default:
                break;
        }
    }
    if (consume && event->type() == QEvent::ShortcutOverride) {
        // Claim the key so no shortcut takes it; the key press that follows is then ours.
        event->accept();
        return true;
    }
    return consume;
}

namespace {

// Some styles (Fusion among them) highlight a menu title only while its menu is open, so a
// menu bar that holds the keyboard after Alt, or after Esc left a menu, looks idle and
// silently takes the next key. Windows keeps the title highlighted then; so does this.
class MenuBarKeyboardStyle : public QProxyStyle {
  public:
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element == CE_MenuBarItem && item != nullptr && widget != nullptr &&
            widget->hasFocus() && item->state.testFlag(State_Selected)) {
            QStyleOptionMenuItem held = *item;
            held.state |= State_Sunken;
            QProxyStyle::drawControl(element, &held, painter, widget);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

}  // namespace

void ShowMenuBarKeyboardHold(QMenuBar* bar) {
    auto* style = new MenuBarKeyboardStyle;
    style->setParent(bar);
    bar->setStyle(style);
}

}  // namespace quillery
