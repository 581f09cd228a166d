#pragma once

#include <QObject>

class QMenuBar;
class QPlainTextEdit;
class QWidget;

namespace quillery {

// The main window's keys (MainWindowKeyAction), taken before the window or a pane sees
// them. Every other key goes on.
class KeyboardRules : public QObject {
    Q_OBJECT
  public:
    KeyboardRules(QWidget* window, QPlainTextEdit* inputPane, QPlainTextEdit* outputPane);

    static void SelectAllKeepingView(QPlainTextEdit* pane);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPlainTextEdit* FocusedPane() const;

    QWidget* window_;
    QPlainTextEdit* inputPane_;
    QPlainTextEdit* outputPane_;
};

// Draws the menu bar's current title highlighted whenever the bar holds the keyboard, not
// only while its menu is open.
void ShowMenuBarKeyboardHold(QMenuBar* bar);

}  // namespace quillery
