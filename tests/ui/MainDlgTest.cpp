// The main window: layout, menus, title, colours, the status hand-over, its place on the
// screen, its keys, conversion runs through it (their failures, the busy state, repeated
// starts) and the two ways it ends, also while a run converts.
#include <QtWidgets>
#include <thread>

#include "AccessibilityTestSupport.h"
#include "WindowTestSupport.h"
#include "ui/DialogFont.h"
#include "ui/MainMenu.h"
#include "ui/PaneLayout.h"
#include "ui/UiOpQueue.h"
#include "ui/WindowRunHost.h"

using namespace quillery;

namespace {

// A menu's title and its items in order: each label with its command identifier, a
// submenu's own outline in brackets, "-" for a separator.
QString Outline(const QMenu* menu) {
    QString line = menu->title() + ":";
    for (const QAction* action : menu->actions()) {
        line += action->isSeparator() ? QString(" -")
                : action->menu()
                    ? " [" + Outline(action->menu()) + "]"
                    : " " + action->text() + "=" + QString::number(action->data().toInt());
    }
    return line;
}

// The labels of the checked items, in menu order.
QString CheckedItems(const CMainDlg& window) {
    QStringList checked;
    for (const QAction* action : window.findChildren<QAction*>()) {
        if (action->isChecked()) {
            checked << action->text();
        }
    }
    return checked.join(' ');
}

bool IsBlack(const QPlainTextEdit* pane) {
    return pane->palette().color(QPalette::Base) == Qt::black &&
           pane->palette().color(QPalette::Text) == Qt::white;
}

// The window's face colour behind the text, the usual text colour in front of it.
bool IsFace(const QPlainTextEdit* pane) {
    const QPalette usual = QApplication::palette(pane);
    return pane->palette().color(QPalette::Base) == usual.color(QPalette::Window) &&
           pane->palette().color(QPalette::Text) == usual.color(QPalette::Text);
}

bool IsWhite(const QPlainTextEdit* pane) {
    return pane->palette().color(QPalette::Base) == QApplication::palette(pane).color(QPalette::Base) &&
           !IsFace(pane);
}

// Records the key presses that reach a widget's own handling.
struct KeySpy : QObject {
    QList<int> keys;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            keys << static_cast<QKeyEvent*>(event)->key();
        }
        return false;
    }
};

// Shows the window active with the focus on `widget`.
void Focus(CMainDlg& window, QWidget* widget) {
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    widget->setFocus();
    QTRY_VERIFY(QApplication::focusWidget() == widget);
}

// The object names of the disabled panes and commands.
QStringList Greyed(const CMainDlg& window) {
    QStringList greyed;
    const QRegularExpression names("^(pane|command)\\d+$");
    for (const QObject* object : window.findChildren<QObject*>(names)) {
        if (!object->property("enabled").toBool()) {
            greyed << object->objectName();
        }
    }
    return greyed;
}

}  // namespace

class MainDlgTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::optional<MessageRecorder> messages_;
    std::optional<CMainDlg> window_;

    void Trigger(std::initializer_list<CommandId> ids) {
        for (CommandId id : ids) {
            window_->menu()->action(id)->trigger();
        }
    }

    // Converts `input` through the menu's Convert command.
    void Convert(const QString& input) {
        window_->inputPane()->setPlainText(input);
        window_->menu()->action(CommandId::Convert)->trigger();
        QVERIFY(RunEnds(*window_));
    }
    QString Output() const { return window_->outputPane()->toPlainText(); }
    QString Status() const { return window_->statusField()->text(); }

  private slots:
    void init() {
        SetStatusText(u"");
        Renew(messages_, window_);
    }
    void cleanup() { window_.reset(); }

    void splitFollowsTheIntegerFormula() {
        // height, window ratio, input height, output top, output height
        const int rows[][5] = {{380, 3, 189, 189, 191}, {100, 5, 80, 80, 20}, {100, 1, 16, 16, 84},
                               {5, 3, 0, 0, 5},         {-14, 3, 0, -6, 0},   {100, 7, 112, 112, 0},
                               {100, -2, 0, -32, 132}};
        for (const auto& r : rows) {
            const PaneSplit s = SplitPaneHeights(r[0], r[1]);
            QCOMPARE(QList<int>({r[0], r[1], s.inputHeight, s.outputTop, s.outputHeight}),
                     QList<int>({r[0], r[1], r[2], r[3], r[4]}));
        }
    }

    void menuBarHoldsEveryItemInOrder() {
        QStringList outline;
        for (const QAction* popup : window_->menu()->menuBar()->actions()) {
            outline << Outline(popup->menu());
        }
        QCOMPARE(outline, QStringList({
                              "ファイル(&F): 入力テキスト保存(&S)=1034 変換テキスト保存(&C)=1035 - "
                              "終了(&X)=1005",
                              "変換(&C): 変換(&C)=1002 - デバッグ変換(&D)=1024",
                              "変換設定(&S): [変換率(&R): 0%=1006 10%=1007 20%=1008 30%=1009 "
                              "40%=1010 50%=1011 60%=1012 70%=1013 80%=1014 90%=1015 100%=1016] "
                              "辞書ファイル設定(&D)=1028",
                              "ウインドウ(&W): [ウインドウ比率(&W): 1:5(&1)=1045 "
                              "2:4(&2)=32773 3:3(&3)=1047 4:2(&4)=1048 5:1(&5)=1049] "
                              "黒の背景色にする(&B)=1050 変換ペインを読込専用(&R)=1051",
                              "ヘルプ(&H): オンラインヘルプ(&O)=1052 - このソフトについて(&A)=1041",
                          }));
    }

    void startsWithTheDefaultsAndLaysOutThePanes() {
        QCOMPARE(CheckedItems(*window_), QString("40% 3:3(&3)"));
        QCOMPARE(window_->windowTitle(), QString("Quillery - 40% "));
        QCOMPARE(window_->outputPane()->toPlainText(), kPlaceholder);
        QVERIFY(window_->statusField()->text().isEmpty());
        QVERIFY(!window_->windowIcon().pixmap(32).isNull());
        const DialogUnits units(DialogFont());
        const int menuHeight = window_->menu()->menuBar()->heightForWidth(window_->width());
        QCOMPARE(window_->size(), QSize(units.X(330), units.Y(241) + menuHeight));
        // The panes fill the client area without gaps, laid out by the window-ratio command.
        window_->show();
        window_->resize(600, 440);
        Trigger({CommandId::WindowRatio5});
        const int top = window_->menu()->menuBar()->height();
        const int area = window_->height() - top - window_->statusBar()->height();
        const QRect input = window_->inputPane()->geometry();
        const QRect output = window_->outputPane()->geometry();
        QCOMPARE(input, QRect(0, top, 600, area / 6 * 5));
        QCOMPARE(output, QRect(0, input.bottom() + 1, 600, area - input.height()));
        QCOMPARE(window_->statusBar()->geometry().top(), output.bottom() + 1);
    }

    void commandsMoveCheckMarksAndTheTitleShowsTheFileName() {
        Trigger({CommandId::Ratio0, CommandId::Ratio0});  // the checked item stays checked
        QCOMPARE(CheckedItems(*window_), QString("0% 3:3(&3)"));
        QVERIFY(window_->windowTitle().startsWith("Quillery - 0% "));
        Trigger({CommandId::Ratio100, CommandId::WindowRatio2, CommandId::BlackBackground,
                 CommandId::ReadOnly});
        QCOMPARE(QList<int>({gSettings.insertRatio, gSettings.windowRatio,
                             gSettings.blackBackground, gSettings.editReadOnly}),
                 QList<int>({10, 2, 1, 1}));
        QCOMPARE(CheckedItems(*window_),
                 QString("100% 2:4(&2) 黒の背景色にする(&B) 変換ペインを読込専用(&R)"));
        QVERIFY(window_->windowTitle().startsWith("Quillery - 100% "));
        Trigger({CommandId::BlackBackground, CommandId::ReadOnly});
        QCOMPARE(gSettings.blackBackground + gSettings.editReadOnly, 0);
        QCOMPARE(CheckedItems(*window_), QString("100% 2:4(&2)"));
        for (QAction* action : window_->findChildren<QAction*>()) {
            QVERIFY2(action->isEnabled(), qPrintable(action->text()));
        }
        // The title, also of a hand-edited ratio, with the dictionary file's name.
        const std::tuple<QString, int, QString> rows[] = {
            {"D:\\data\\words.txt", 4, "Quillery - 40% words.txt"},
            {"/x/y.dat", 15, "Quillery - 150% y.dat"},  // hand-edited: no ratio item checked
            {"C:\\表\\ソフト.dat", 3, "Quillery - 30% ソフト.dat"}};
        for (const auto& [path, ratio, title] : rows) {
            QVERIFY(SetDictionaryPath(path));
            gSettings.insertRatio = ratio;
            window_->RefreshMenusAndTitle();
            QCOMPARE(window_->windowTitle(), title);
            QCOMPARE(CheckedItems(*window_),
                     ratio <= 10 ? RatioLabel(ratio) + " 2:4(&2)" : "2:4(&2)");
        }
    }

    void readOnlyAndBlackBackgroundRules() {
        QPlainTextEdit* input = window_->inputPane();
        QPlainTextEdit* output = window_->outputPane();
        gSettings.editReadOnly = 2;     // hand-edited: read-only, the item unchecked
        gSettings.blackBackground = 2;  // hand-edited: counts as off, one toggle makes it 1
        window_->RefreshMenusAndTitle();
        QVERIFY(output->isReadOnly() && !input->isReadOnly() && IsWhite(input) && IsFace(output));
        QCOMPARE(CheckedItems(*window_), QString("40% 3:3(&3)"));
        Trigger({CommandId::BlackBackground});
        QCOMPARE(gSettings.blackBackground, 1);
        QVERIFY(IsBlack(input) && IsFace(output));
        Trigger({CommandId::ReadOnly});
        QCOMPARE(gSettings.editReadOnly, 1);
        QVERIFY(output->isReadOnly() && IsFace(output));
        Trigger({CommandId::ReadOnly});
        QVERIFY(!output->isReadOnly() && IsBlack(output));
        Trigger({CommandId::BlackBackground, CommandId::ReadOnly});
        QVERIFY(IsWhite(input) && IsFace(output));
        Trigger({CommandId::ReadOnly});
        QVERIFY(IsWhite(output));
        Trigger({CommandId::BlackBackground});
        window_->SetBusy(true);
        QVERIFY(!IsBlack(input) && !IsBlack(output));
        window_->SetBusy(false);
        QVERIFY(IsBlack(input));
        Trigger({CommandId::BlackBackground});
        QVERIFY(!IsBlack(input) && !IsBlack(output));
    }

    void statusBarStaysWholeOverAPanePushedUnderIt() {
        gSettings.windowRatio = 7;  // hand-edited: the input pane reaches past the status bar
        gSettings.blackBackground = 1;
        window_->RefreshMenusAndTitle();
        window_->show();
        window_->resize(500, 400);
        const QRect bar = window_->statusBar()->geometry();
        QVERIFY(window_->inputPane()->geometry().contains(bar.center()));
        const QImage shot = window_->grab().toImage();
        QCOMPARE(shot.pixelColor(bar.center()), window_->palette().color(QPalette::Window));
    }

    // Qt parks the focus elsewhere when it disables the panes, and a menu used during the
    // run leaves it on the window or the menu bar; the run gives it back all the same.
    void theFocusComesBackToItsPaneAfterARun() {
        QMenuBar* bar = window_->menu()->menuBar();
        for (QPlainTextEdit* pane : {window_->inputPane(), window_->outputPane()}) {
            for (const bool onTheWindow : {true, false}) {  // else nowhere
                Focus(*window_, pane);
                window_->SetBusy(true);
                if (onTheWindow) {
                    window_->setFocus();
                } else if (QWidget* focus = QApplication::focusWidget()) {
                    focus->clearFocus();
                }
                QTRY_VERIFY(QApplication::focusWidget() == (onTheWindow ? &*window_ : nullptr));
                window_->SetBusy(false);
                QTRY_VERIFY(pane->hasFocus());
            }
        }
        // A real menu opened during the run, left before or after its end.
        for (const bool leftBeforeTheEnd : {true, false}) {
            QPlainTextEdit* pane = leftBeforeTheEnd ? window_->inputPane() : window_->outputPane();
            Focus(*window_, pane);
            window_->SetBusy(true);
            QTest::keyClick(&*window_, Qt::Key_W, Qt::AltModifier);
            QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
            if (leftBeforeTheEnd) {
                QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
                QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
                window_->SetBusy(false);
            } else {
                window_->SetBusy(false);
                QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
                QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
            }
            // The menu bar may still hold the keyboard (and shows it); Esc gives it back.
            if (!pane->hasFocus()) {
                QVERIFY(bar->hasFocus());
                QTest::keyClick(bar, Qt::Key_Escape);
            }
            QTRY_VERIFY(pane->hasFocus());
        }
    }

    void handOverFromAnotherThreadShowsStatusText() {
        WindowRunHost host(*new UiOpQueue(&*window_));
        std::thread worker([&host] { host.PostStatus(u"処理中．．．"); });
        worker.join();
        QVERIFY(window_->statusField()->text().isEmpty());  // queued, not yet handled
        QTRY_COMPARE(window_->statusField()->text(), QString("処理中．．．"));
        SetStatusText(u"変換終了");  // shown with the next hand-over only
        QTest::qWait(20);
        QCOMPARE(window_->statusField()->text(), QString("処理中．．．"));
        // The hand-over carries no text: it shows what the status text holds when it is
        // handled.
        std::thread([&host] { host.PostStatus(u"処理中．．．"); }).join();
        SetStatusText(u"変換終了");
        QTRY_COMPARE(window_->statusField()->text(), QString("変換終了"));
    }

    void screenReadersTellThePanesAndTheStatusBarApart() {
        window_->show();
        const QList<AccessibleNode> nodes = AccessibleTree(&*window_);
        const struct {
            QObject* object;
            QAccessible::Role role;
            QString name;
        } rows[] = {{window_->inputPane(), QAccessible::EditableText, "入力テキスト"},
                    {window_->outputPane(), QAccessible::EditableText, "変換テキスト"},
                    {window_->statusBar(), QAccessible::StatusBar, "ステータスバー"}};
        for (const auto& row : rows) {
            const AccessibleNode node = FindNode(nodes, row.object);
            QCOMPARE(node.object, row.object);  // reachable from the window
            QCOMPARE(node.role, row.role);
            QCOMPARE(node.name, row.name);
            QVERIFY2(!node.description.isEmpty(), qPrintable(row.name));
        }
        const QStringList names = FieldNames(nodes);
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
        QVERIFY(!names.contains(QString()));
        // The status field reads as the message it shows.
        WindowRunHost(*new UiOpQueue(&*window_)).PostStatus(u"処理中．．．");
        QTRY_COMPARE(FindNode(AccessibleTree(&*window_), window_->statusField()).name,
                     QString("処理中．．．"));
    }

    void savedRectangleRestoredOnlyWhenCompleteUsableAndOnAScreen() {
        const auto placed = [this](const QByteArray& values) {
            const bool written = WriteFile(IniPath(), "[Window]\r\n" + values);
            window_.emplace();
            window_->show();
            return written ? window_->frameGeometry() : QRect();
        };
        const QRect unplaced = placed("");
        QCOMPARE(placed("XPos=-200\r\nYPos=40\r\nWidth=500\r\nHeight=350"),
                 QRect(-200, 40, 500, 350));
        for (const char* incomplete : {"XPos=0\r\nYPos=40\r\nWidth=500\r\nHeight=350",
                                       "XPos=30\r\nYPos=0\r\nWidth=500\r\nHeight=350",
                                       "XPos=30\r\nYPos=40\r\nWidth=0\r\nHeight=350",
                                       "XPos=30\r\nYPos=40\r\nWidth=500\r\nHeight=0",
                                       // on no screen: opens where an unsaved window opens
                                       "XPos=30000\r\nYPos=40\r\nWidth=500\r\nHeight=350",
                                       "XPos=-900\r\nYPos=-900\r\nWidth=500\r\nHeight=350"}) {
            QCOMPARE(placed(incomplete), unplaced);
        }
        // Too small to use: raised to a size that shows the bars and some of each pane;
        // partly on a screen is enough to be restored where it was.
        for (const char* small : {"XPos=30\r\nYPos=40\r\nWidth=1\r\nHeight=1",
                                  "XPos=30\r\nYPos=40\r\nWidth=10\r\nHeight=-5",
                                  "XPos=-490\r\nYPos=40\r\nWidth=500\r\nHeight=25"}) {
            const QRect rect = placed(small);
            QCOMPARE(rect.topLeft(), QPoint(small[5] == '-' ? -490 : 30, 40));
            QVERIFY2(rect.width() >= window_->menu()->menuBar()->sizeHint().width(), small);
            const int bars = window_->menu()->menuBar()->height() + window_->statusBar()->height();
            QVERIFY2(window_->inputPane()->height() > 2 * window_->fontMetrics().height() &&
                         window_->outputPane()->height() > 2 * window_->fontMetrics().height() &&
                         rect.height() > bars,
                     small);
        }
    }

    // The four position keys keep what the file held when the window has no rectangle of
    // its own to save: never shown, minimised or maximised.
    void closingWithoutANormalRectangleKeepsThePositionKeys() {
        const QByteArray saved = "[Window]\r\nXPos=31\r\nYPos=41\r\nWidth=501\r\nHeight=351\r\n";
        for (int how = 0; how < 3; ++how) {
            QVERIFY(WriteFile(IniPath(), saved));
            window_.emplace();
            if (how == 1) {
                window_->showMinimized();
            } else if (how == 2) {
                window_->showMaximized();
            }
            window_->OnRatio(9);
            window_->OnExit();
            const QByteArray after = ReadFile(IniPath());
            QVERIFY2(after.contains("Ratio=9\r\n"), qPrintable(QString::number(how)));
            QVERIFY2(after.contains(saved.mid(10)), after.constData());
        }
    }

    void keyboardRules() {
        QPlainTextEdit* input = window_->inputPane();
        Focus(*window_, input);
        QTest::keyClicks(input, "ab");
        QTest::keyClick(input, Qt::Key_Escape);
        QTest::keyClick(input, Qt::Key_Return);
        QTest::keyClick(input, Qt::Key_C);
        // Shift+Enter and Ctrl+Enter break the line the same way, not with a line
        // separator or nothing.
        QTest::keyClick(input, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClick(input, Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClick(input, Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
        QTest::keyClick(input, Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
        const QChar br = QChar::ParagraphSeparator;
        QCOMPARE(input->document()->toRawText(),
                 QString("ab") + br + "c" + br + br + br + br);
        input->setPlainText("ab\nc\n");
        // Ctrl+C and Ctrl+V pass on; Ctrl+Tab puts in a tab, Tab goes to the next pane.
        input->selectAll();
        QTest::keyClick(input, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(input, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(input, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(input, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(input->toPlainText(), QString("ab\nc\nab\nc\n\t"));
        QTest::keyClick(input, Qt::Key_Tab);
        QTRY_VERIFY(window_->outputPane()->hasFocus());

        Focus(*window_, &*window_);
        KeySpy spy;
        window_->installEventFilter(&spy);
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
            QTest::keyClick(&*window_, key);
        }
        QVERIFY(window_->isVisible() && spy.keys.isEmpty());         // swallowed before the window
        QTest::keyClick(&*window_, Qt::Key_A, Qt::ControlModifier);  // no pane: passed on
        QVERIFY(spy.keys.contains(Qt::Key_A));
        QVERIFY(messages_->requests.isEmpty());

        // Ctrl+A and Ctrl+Shift+A select a whole pane, a read-only one too, and keep the view.
        window_->resize(400, 300);
        gSettings.editReadOnly = 1;
        window_->RefreshMenusAndTitle();
        Focus(*window_, window_->outputPane());
        for (auto modifiers : {Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier}) {
            QTest::keyClick(window_->outputPane(), Qt::Key_Return, modifiers);
        }
        QCOMPARE(window_->outputPane()->toPlainText(), kPlaceholder);
        const QString lines = QString("行\n").repeated(300);
        for (QPlainTextEdit* pane : {window_->inputPane(), window_->outputPane()}) {
            pane->setPlainText(lines);
            Focus(*window_, pane);
            for (auto modifiers :
                 {Qt::ControlModifier | Qt::NoModifier, Qt::ControlModifier | Qt::ShiftModifier}) {
                pane->moveCursor(QTextCursor::Start);
                pane->verticalScrollBar()->setValue(40);
                QTest::keyClick(pane, Qt::Key_A, modifiers);
                QCOMPARE(pane->textCursor().selectedText().size(), lines.size());
                QCOMPARE(pane->verticalScrollBar()->value(), 40);
            }
            QCOMPARE(pane->toPlainText(), lines);
        }
    }

    void menuBarKeepsItsOwnKeys() {
        Focus(*window_, window_->inputPane());
        QMenuBar* bar = window_->menu()->menuBar();
        QTest::keyClick(window_->inputPane(), Qt::Key_Alt);
        QTRY_VERIFY(bar->hasFocus());
        QTest::keyClick(bar, Qt::Key_Return);
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
        // The bar keeps the keyboard, and its title shows it as a Windows menu bar does.
        QVERIFY(bar->hasFocus());
        const QImage held = bar->grab().toImage();
        QTest::keyClick(bar, Qt::Key_Escape);
        QTRY_VERIFY(window_->inputPane()->hasFocus());
        QVERIFY(window_->isVisible());
        QVERIFY(bar->grab().toImage() != held);
    }

    void closingAsksFirstAndBothWaysSaveTheSameRecord() {
        // No, to the close box and to Exit, leaves the window and the file as they were.
        const QByteArray before = "; hand-made\r\n[Settings]\r\nRatio=7\r\n";
        QVERIFY(WriteFile(IniPath(), before));
        window_->show();
        window_->OnRatio(2);
        messages_->answers = {MessageResult::No, MessageResult::No};
        window_->close();
        window_->OnExit();
        QVERIFY(window_->isVisible());
        QCOMPARE(messages_->texts, QStringList({"終了しますか？", "終了しますか？"}));
        QCOMPARE(messages_->requests[0].buttons, MessageButtons::YesNo);
        QCOMPARE(messages_->requests[0].icon, MessageIcon::Question);
        QCOMPARE(ReadFile(IniPath()), before);

        QByteArray saved[3];
        QSize outer;
        for (int how = 0; how < 3; ++how) {  // Exit, the close box, Exit with a failed box
            Renew(messages_, window_);
            messages_->answers = {how == 2 ? MessageResult::Failed : MessageResult::Yes};
            window_->show();
            window_->move(30, 50);
            window_->resize(420, 330);
            window_->OnRatio(7);
            window_->OnWindowRatio(2);
            gSettings.randomSeed = 4294967295u;
            outer = window_->frameGeometry().size();
            how == 1 ? (void)window_->close() : Trigger({CommandId::Exit});
            QVERIFY(window_->isHidden());
            QCOMPARE(window_->result(), how == 1 ? int(QDialog::Rejected) : int(QDialog::Accepted));
            saved[how] = ReadFile(IniPath());
        }
        QCOMPARE(saved[1], saved[0]);
        QCOMPARE(saved[2], saved[0]);  // a failed box is not a No
        QVERIFY(saved[0].contains("Ratio=7\r\n") && saved[0].contains("WindowRatio=2\r\n") &&
                saved[0].contains("RandomSeed=-1\r\n"));
        QVERIFY(saved[0].contains(QString("XPos=30\r\nYPos=50\r\nWidth=%1\r\nHeight=%2\r\n")
                                      .arg(outer.width())
                                      .arg(outer.height())
                                      .toLatin1()));
    }

    void convertFillsOutputAndReportsStatistics() {
        window_->show();
        QApplication::setActiveWindow(&*window_);
        QVERIFY(QTest::qWaitForWindowActive(&*window_));
        window_->outputPane()->setFocus();
        QVERIFY(UseDictionary(dir_.filePath("one.dat"), "X\r\n"));
        // Convert makes a normal run: no markers, the clock's seed.
        gSettings.debugRun = gSettings.useFixedSeed = gSettings.insertMark = 1;
        const auto before = static_cast<std::int32_t>(time(nullptr));
        gSettings.insertRatio = 10;
        const QString done =
            "変換終了： [挿入文節%1 / 総文節%1 = 挿入率100.0%] [解析行%2] [辞書の単語1個] "
            "[出力%3文字]";
        const std::tuple<QString, QString, QString> rows[] = {
            {"私は東京に行きました。", "X私はX東京にX行きました。", done.arg(3).arg(1).arg(14)},
            // Line breaks come back as the pane's own; what code page 932 lacks passes on.
            {"𠮷野家😀\n\nですます。\n東京", "X𠮷野家😀\n\nですます。\nX東京",
             done.arg(2).arg(4).arg(16)}};
        for (const auto& [input, output, status] : rows) {
            Convert(input);
            QCOMPARE(Output(), output);
            QCOMPARE(Status(), status);
            QCOMPARE(Greyed(*window_), QStringList());
        }
        QVERIFY(gSettings.newestRandomSeed >= before);
        QCOMPARE(gSettings.debugRun, 0);
        QVERIFY(window_->outputPane()->hasFocus());  // given back when the panes are enabled
        QVERIFY(messages_->requests.isEmpty());
    }

    void failuresLeaveTheWindowAsItWasAndSecondStartsAreIgnored() {
        QVERIFY(QDir(dir_.path()).mkpath("folder.dat"));
        const QString cannotOpen = QStringLiteral("辞書ファイルが開けません");
        const std::pair<QString, QString> cases[] = {
            {QString(),
             "辞書ファイルを設定してください。\r\n\r\nメニューの[変換設定]→[辞書ファイル設定]で"
             "設定します。"},
            {dir_.filePath("missing.dat"), cannotOpen},
            {dir_.filePath("folder.dat"), cannotOpen}};
        for (const auto& [path, message] : cases) {
            Renew(messages_, window_);
            QVERIFY(SetDictionaryPath(path));
            QStringList greyedDuring{"not asked"};
            SetMessageHandler([&](const MessageRequest& request) {
                greyedDuring = Greyed(*window_);
                return messages_->Answer(request);
            });
            window_->OnConvert();
            window_->OnConvert();  // before the run is busy
            QVERIFY(!window_->StartRun());
            QVERIFY(RunEnds(*window_));
            QCOMPARE(messages_->texts, QStringList{message});
            QCOMPARE(messages_->requests[0].buttons, MessageButtons::Ok);
            QCOMPARE(messages_->requests[0].caption, QCoreApplication::applicationName());
            QCOMPARE(greyedDuring, QStringList());
            QVERIFY(Status().isEmpty());
            QCOMPARE(Output(), kPlaceholder);
        }
    }

    void emptyDictionaryLeavesBusyStatusAndReenables() {
        QVERIFY(UseDictionary(dir_.filePath("empty.dat"), QByteArray("\x1A") + "ignored\r\n"));
        QStringList during;
        SetMessageHandler([&](const MessageRequest& request) {
            during = Greyed(*window_) << Status();
            window_->OnConvert();  // started while the message is open: ignored
            return messages_->Answer(request);
        });
        Convert("東京");
        QCOMPARE(messages_->texts, QStringList{"辞書ファイルが空です"});
        QCOMPARE(during,
                 QStringList({"pane1003", "pane1004", "command1034", "command1035", "command1005",
                              "command1002", "command1024", "処理中．．．"}));
        QCOMPARE(Greyed(*window_), QStringList());
        QCOMPARE(Status(), QString("処理中．．．"));
        QCOMPARE(Output(), kPlaceholder);
        QCOMPARE(gSettings.newestRandomSeed, 0);
    }

    // A ratio chosen while a run converts applies to the next run.
    void theRatioOfARunIsItsOwn() {
        QVERIFY(UseDictionary(dir_.filePath("one.dat"), "X"));
        gSettings.insertRatio = 10;
        window_->inputPane()->setPlainText(QString("東京、").repeated(20000));
        window_->OnConvert();
        window_->OnRatio(0);
        QVERIFY(window_->windowTitle().startsWith("Quillery - 0% "));
        QVERIFY(RunEnds(*window_));
        QCOMPARE(Output().count('X'), 20000);
        window_->OnConvert();
        QVERIFY(RunEnds(*window_));
        QCOMPARE(Output().count('X'), 0);
    }

    void closingDuringARunSavesAndEndsCleanly() {
        for (const int lines : {400000, 1}) {
            Renew(messages_, window_);
            window_->show();
            QVERIFY(UseDictionary(dir_.filePath("one.dat"), "X"));
            gSettings.insertRatio = 10;
            window_->inputPane()->setPlainText(QString("東京は大きい。\n").repeated(lines));
            window_->OnConvert();
            if (lines > 1) {  // closed while the worker converts, else before it reads
                QTRY_VERIFY(!window_->inputPane()->isEnabled());
                QTest::qWait(20);
            }
            window_->close();  // answered Yes
            QVERIFY(window_->isHidden());
            QCOMPARE(messages_->texts, QStringList{"終了しますか？"});
            QVERIFY(QFile::exists(IniPath()));
            QTest::qWait(50);
            QCOMPARE(Output(), kPlaceholder);
            QCOMPARE(window_->inputPane()->isEnabled(), lines == 1);
            window_.reset();  // stops the conversion and waits for the worker
        }
    }
};

QTEST_MAIN(MainDlgTest)
#include "MainDlgTest.moc"
