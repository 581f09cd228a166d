// The main window's keys and the two ways it ends.
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextDocument>

#include "WindowTestSupport.h"
#include "ui/MainMenu.h"

using namespace quillery;

namespace {

// Records the key presses that reach a widget's own handling.
class KeySpy : public QObject {
  public:
    explicit KeySpy(QWidget* widget) { widget->installEventFilter(this); }
    QList<int> keys;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            keys << static_cast<QKeyEvent*>(event)->key();
        }
        return false;
    }
};

// Shows the window active with the focus on `widget`, or on the window itself.
void Focus(CMainDlg& window, QWidget* widget) {
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    widget = widget ? widget : &window;
    widget->setFocus();
    QTRY_VERIFY(QApplication::focusWidget() == widget);
}

}  // namespace

class KeyboardAndClosingTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { ResetSettings(); }

    void escapeAndEnterOutsideAPaneAreSwallowed() {
        MessageRecorder messages;
        CMainDlg window;
        Focus(window, window.inputPane());
        QTest::keyClicks(window.inputPane(), "ab");
        QTest::keyClick(window.inputPane(), Qt::Key_Escape);
        QTest::keyClick(window.inputPane(), Qt::Key_Return);
        QTest::keyClicks(window.inputPane(), "c");
        QCOMPARE(window.inputPane()->toPlainText(), QString("ab\nc"));
        // Shift+Enter breaks the line the same way, not with a line separator.
        QTest::keyClick(window.inputPane(), Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(window.inputPane()->document()->toRawText(),
                 QString("ab") + QChar::ParagraphSeparator + "c" + QChar::ParagraphSeparator);
        QTest::keyClick(window.inputPane(), Qt::Key_Backspace);

        Focus(window, nullptr);
        KeySpy spy(&window);
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
            QTest::keyClick(&window, key);
        }
        QVERIFY(window.isVisible());
        QCOMPARE(window.result(), 0);
        QCOMPARE(window.inputPane()->toPlainText(), QString("ab\nc"));
        QVERIFY(spy.keys.isEmpty());  // swallowed before the window saw them
        // Ctrl+A with no pane focused goes on to the window.
        QTest::keyClick(&window, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(spy.keys.contains(Qt::Key_A));
        QVERIFY(messages.requests.isEmpty());
    }

    void menuBarKeepsItsOwnKeys() {
        MessageRecorder messages;
        CMainDlg window;
        Focus(window, window.inputPane());
        QMenuBar* bar = window.menu()->menuBar();
        QTest::keyClick(window.inputPane(), Qt::Key_Alt);
        QTRY_VERIFY(bar->hasFocus());
        QTest::keyClick(bar, Qt::Key_Return);
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
        QTest::keyClick(bar, Qt::Key_Escape);
        QTRY_VERIFY(window.inputPane()->hasFocus());
        QVERIFY(window.isVisible());
        // Alt with a mnemonic opens its menu.
        QTest::keyClick(window.inputPane(), Qt::Key_C, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QCOMPARE(qobject_cast<QMenu*>(QApplication::activePopupWidget())->title(),
                 QString("変換(&C)"));
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    }

    void ctrlASelectsTheFocusedPaneWithoutScrolling() {
        MessageRecorder messages;
        CMainDlg window;
        window.resize(400, 300);
        gSettings.editReadOnly = 1;
        window.RefreshMenusAndTitle();
        QString lines;
        for (int i = 0; i < 300; ++i) {
            lines += QString("行%1\n").arg(i);
        }
        for (QPlainTextEdit* pane : {window.inputPane(), window.outputPane()}) {
            pane->setPlainText(lines);
            Focus(window, pane);
            for (Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(Qt::ControlModifier),
                                                    Qt::ControlModifier | Qt::ShiftModifier}) {
                pane->moveCursor(QTextCursor::Start);
                pane->verticalScrollBar()->setValue(40);
                QTest::keyClick(pane, Qt::Key_A, modifiers);
                QCOMPARE(pane->textCursor().selectedText().size(), lines.size());
                QCOMPARE(pane->verticalScrollBar()->value(), 40);
            }
            QCOMPARE(pane->toPlainText(), lines);
        }
    }

    void otherKeysPassOn() {
        MessageRecorder messages;
        CMainDlg window;
        Focus(window, window.inputPane());
        QTest::keyClicks(window.inputPane(), "xyza");
        window.inputPane()->selectAll();
        QTest::keyClick(window.inputPane(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString("xyza"));
        QTest::keyClick(window.inputPane(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(window.inputPane(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window.inputPane()->toPlainText(), QString("xyzaxyza"));
        // Tab moves on as in a dialog; Ctrl+Tab inserts a tab.
        QTest::keyClick(window.inputPane(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(window.inputPane()->toPlainText(), QString("xyzaxyza\t"));
        QTest::keyClick(window.inputPane(), Qt::Key_Tab);
        QTRY_VERIFY(window.outputPane()->hasFocus());
    }

    void answeringNoKeepsEverything() {
        MessageRecorder messages;
        const QByteArray before = "; hand-made\r\n[Settings]\r\nRatio=7\r\n";
        QVERIFY(WriteFile(IniPath(), before));
        CMainDlg window;
        window.show();
        window.OnRatio(2);
        messages.answers = {MessageResult::No, MessageResult::No};
        window.close();
        window.OnExit();
        QVERIFY(window.isVisible());
        QCOMPARE(messages.texts(), QStringList({"終了しますか？", "終了しますか？"}));
        QCOMPARE(messages.requests[0].buttons, MessageButtons::YesNo);
        QCOMPARE(messages.requests[0].icon, MessageIcon::Question);
        QCOMPARE(ReadFile(IniPath()), before);
    }

    void closeBoxAndExitSaveTheSameRecord() {
        QSize outer;
        const auto endWith = [&outer](bool viaExit, MessageResult answer) {
            QFile::remove(IniPath());
            MessageRecorder messages;
            messages.answers = {answer};
            CMainDlg window;
            window.show();
            window.move(30, 50);
            window.resize(420, 330);
            window.OnRatio(7);
            window.OnWindowRatio(2);
            gSettings.randomSeed = 4294967295u;
            outer = window.frameGeometry().size();
            if (viaExit) {
                window.menu()->action(CommandId::Exit)->trigger();
            } else {
                window.close();
            }
            const bool ended = window.isHidden() &&
                               window.result() == (viaExit ? QDialog::Accepted : QDialog::Rejected);
            return ended ? ReadFile(IniPath()) : QByteArray("still open");
        };
        const QByteArray viaClose = endWith(false, MessageResult::Yes);
        const QByteArray viaExit = endWith(true, MessageResult::Yes);
        QCOMPARE(viaClose, viaExit);
        // A failed message box is not a No.
        QCOMPARE(endWith(true, MessageResult::Failed), viaExit);
        QVERIFY(viaExit.contains("Ratio=7\r\n"));
        QVERIFY(viaExit.contains("WindowRatio=2\r\n"));
        QVERIFY(viaExit.contains("RandomSeed=-1\r\n"));
        // The outer rectangle, frame included.
        QVERIFY(outer.width() >= 420 && outer.height() >= 330);
        QVERIFY(viaExit.contains(QString("XPos=30\r\nYPos=50\r\nWidth=%1\r\nHeight=%2\r\n")
                                     .arg(outer.width())
                                     .arg(outer.height())
                                     .toLatin1()));
    }
};

QTEST_MAIN(KeyboardAndClosingTest)
#include "test_keyboard_and_closing.moc"
