// The main window: layout, menus, title, colours, the status hand-over, its place on the
// screen, its keys, conversion runs through it and the two ways it ends, also mid-run.
#include <QtWidgets>
#include <thread>

#include "WindowTestSupport.h"
#include "qt/DialogFont.h"
#include "qt/MainMenu.h"

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

// Each pane's colours: B white on black, F the window's face colour behind the usual text,
// W the usual edit colours; then r when the output pane is read-only.
QString Panes(const CMainDlg& window) {
    QString state;
    for (const QPlainTextEdit* pane : {window.inputPane(), window.outputPane()}) {
        QPalette usual = QApplication::palette(pane);
        usual.setCurrentColorGroup(pane->palette().currentColorGroup());
        const QColor base = pane->palette().color(QPalette::Base);
        const QColor text = pane->palette().color(QPalette::Text);
        state += base == Qt::black && text == Qt::white  ? 'B'
                 : text != usual.color(QPalette::Text)   ? '?'
                 : base == usual.color(QPalette::Window) ? 'F'
                 : base == usual.color(QPalette::Base)   ? 'W'
                                                         : '?';
    }
    return window.outputPane()->isReadOnly() ? state + 'r' : state;
}

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

class MainDlgTest : public QObject, WindowFixture {
    Q_OBJECT

    QString Status() const { return window_->statusField()->text(); }

  private slots:
    void init() { Renew(); }
    void cleanup() { window_.reset(); }

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
        const int menuHeight = window_->menu()->menuBar()->heightForWidth(window_->width());
        QCOMPARE(window_->size(), DialogUnits(DialogFont()).Size(330, 241) + QSize(0, menuHeight));
        // The panes fill the client area without gaps, laid out by the window-ratio command.
        window_->show();
        window_->resize(600, 440);
        Trigger({CommandId::WindowRatio5});
        const int top = window_->menu()->menuBar()->height();
        const int area = window_->height() - top - window_->statusBar()->height();
        const QRect input = window_->inputPane()->geometry();
        QCOMPARE(input, QRect(0, top, 600, area / 6 * 5));
        QCOMPARE(window_->outputPane()->geometry(),
                 QRect(0, input.bottom() + 1, 600, area - input.height()));
    }

    void commandsMoveCheckMarksAndTheTitleShowsTheFileName() {
        Trigger({CommandId::Ratio0, CommandId::Ratio0});  // the checked item stays checked
        QCOMPARE(CheckedItems(*window_), QString("0% 3:3(&3)"));
        // The two view options each alone, then together: each mark and each pane follows
        // its own setting.
        Trigger({CommandId::Ratio100, CommandId::WindowRatio2, CommandId::BlackBackground});
        QCOMPARE(CheckedItems(*window_), QString("100% 2:4(&2) 黒の背景色にする(&B)"));
        QCOMPARE(Panes(*window_), QString("BB"));
        Trigger({CommandId::BlackBackground, CommandId::ReadOnly});
        QCOMPARE(CheckedItems(*window_), QString("100% 2:4(&2) 変換ペインを読込専用(&R)"));
        QCOMPARE(Panes(*window_), QString("WFr"));
        Trigger({CommandId::BlackBackground});
        QCOMPARE(QList<int>({gSettings.insertRatio, gSettings.windowRatio,
                             gSettings.blackBackground, gSettings.editReadOnly}),
                 QList<int>({10, 2, 1, 1}));
        QCOMPARE(CheckedItems(*window_),
                 QString("100% 2:4(&2) 黒の背景色にする(&B) 変換ペインを読込専用(&R)"));
        QCOMPARE(Panes(*window_), QString("BFr"));
        // The title of a hand-edited ratio (no ratio item checked) with the file's name.
        QVERIFY(SetDictionaryPath("C:\\表\\ソフト.dat"));
        gSettings.insertRatio = 15;
        window_->RefreshMenusAndTitle();
        QCOMPARE(window_->windowTitle(), QString("Quillery - 150% ソフト.dat"));
        QCOMPARE(CheckedItems(*window_),
                 QString("2:4(&2) 黒の背景色にする(&B) 変換ペインを読込専用(&R)"));
    }

    // Hand-edited 2s: the output pane read-only but its item unchecked, the black
    // background off; disabled panes show the face colour.
    void readOnlyAndBlackBackgroundRules() {
        gSettings.editReadOnly = gSettings.blackBackground = 2;
        window_->RefreshMenusAndTitle();
        QCOMPARE(Panes(*window_), QString("WFr"));
        QCOMPARE(CheckedItems(*window_), QString("40% 3:3(&3)"));
        window_->SetBusy(true);
        QCOMPARE(Panes(*window_), QString("FFr"));
    }

    // Qt parks the focus on the window when it disables the panes; the run gives it back.
    void theFocusComesBackToItsPaneAfterARun() {
        Focus(*window_, window_->inputPane());
        window_->SetBusy(true);
        window_->setFocus();
        QTRY_VERIFY(QApplication::focusWidget() == &*window_);
        window_->SetBusy(false);
        QTRY_VERIFY(window_->inputPane()->hasFocus());
    }

    // The hand-over carries no text: it shows, and screen readers read, what the status
    // text holds when it is handled.
    void statusHandOverFromAnotherThreadIsShownAndRead() {
        window_->show();
        CheckAccessible(&*window_, {{"pane1003", "入力テキスト"},
                                    {"pane1004", "変換テキスト"},
                                    {"statusBar59393", "ステータスバー"}});
        RunHost& host = window_->runs().Host();
        std::thread([&host] { host.PostStatus(u"処理中．．．"); }).join();
        QVERIFY(Status().isEmpty());  // queued, not yet handled
        std::thread([&host] { host.PostStatus(u"変換終了"); }).join();
        QTRY_COMPARE(Status(), QString("変換終了"));
        QCOMPARE(
            QAccessible::queryAccessibleInterface(window_->statusField())->text(QAccessible::Name),
            QString("変換終了"));
    }

    // The offscreen platform's one screen is 800 x 800, and its windows have no frame.
    void savedRectangleRestoredWhenItFitsAndBroughtOnScreenWhenNot() {
        const auto placed = [this](const QByteArray& keys) {  // XPos, YPos, Width, Height
            const QList<QByteArray> v = keys.split(' ');
            QVERIFY(WriteFile(IniPath(), "[Window]\r\nXPos=" + v[0] + "\r\nYPos=" + v[1] +
                                             "\r\nWidth=" + v[2] + "\r\nHeight=" + v[3] + "\r\n"));
            window_.emplace();
            window_->show();
        };
        window_->show();
        const QRect unplaced = window_->frameGeometry();
        QVERIFY(QRect(0, 0, 800, 800).contains(unplaced));
        // At the screen's edge, restored as it was; partly off it, or larger than it, moved
        // and shrunk the least that brings it wholly on it.
        const std::pair<const char*, QRect> rows[] = {
            {"0 0 500 350", {0, 0, 500, 350}},
            {"300 0 500 800", {300, 0, 500, 800}},
            {"-200 40 500 350", {0, 40, 500, 350}},
            {"500 -30 500 350", {300, 0, 500, 350}},
        };
        for (const auto& [keys, expected] : rows) {
            placed(keys);
            QCOMPARE(window_->frameGeometry(), expected);
        }
        // Hand-edited sizes: a negative width raised to the smallest usable, a huge height
        // cut to the screen's, moved up to keep all of it on the screen.
        placed("100 80 -600 99999999");
        const int frameWidth = window_->frameGeometry().width() - window_->width();
        QCOMPARE(window_->frameGeometry(),
                 QRect(100, 0, window_->menu()->menuBar()->sizeHint().width() + frameWidth, 800));
        // A zero width or height, or no screen under it: it opens where an unsaved window
        // opens.
        for (const char* keys : {"30 40 500 0", "0 40 0 350", "30000 40 500 350"}) {
            placed(keys);
            QCOMPARE(window_->frameGeometry(), unplaced);
        }
        // Too small to use: raised to a size that shows the bars and some of each pane.
        placed("30 40 10 -5");
        QCOMPARE(window_->frameGeometry().topLeft(), QPoint(30, 40));
        QVERIFY(window_->width() >= window_->menu()->menuBar()->sizeHint().width());
        QVERIFY(window_->outputPane()->height() > 2 * window_->fontMetrics().height());
    }

    void keyboardRules() {
        QPlainTextEdit* input = window_->inputPane();
        Focus(*window_, input);
        QTest::keyClicks(input, "ab");
        QTest::keyClick(input, Qt::Key_Escape);
        QTest::keyClick(input, Qt::Key_Return);
        // Shift+Enter and Ctrl+Enter break the line as Enter does, not with a line
        // separator or nothing; Ctrl+Tab puts in a tab, Tab goes to the next pane.
        QTest::keyClick(input, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClick(input, Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClick(input, Qt::Key_Tab, Qt::ControlModifier);
        const QChar br = QChar::ParagraphSeparator;
        QCOMPARE(input->document()->toRawText(), QString("ab") + br + br + br + "\t");
        QTest::keyClick(input, Qt::Key_Tab);
        QTRY_VERIFY(window_->outputPane()->hasFocus());
        // Esc and Enter reach neither the window (Esc would close it) nor a shortcut.
        Focus(*window_, &*window_);
        int reached = 0;
        QShortcut enter(Qt::Key_Return, &*window_, [&reached] { ++reached; });
        QTest::keyClick(&*window_, Qt::Key_Escape);
        QTest::keyClick(&*window_, Qt::Key_Return);
        QVERIFY(window_->isVisible() && reached == 0 && messages_->requests.isEmpty());
        // Enter changes no read-only pane; Ctrl+Shift+A selects a whole one and keeps the
        // view.
        window_->resize(400, 300);
        Trigger({CommandId::ReadOnly});
        QPlainTextEdit* pane = window_->outputPane();
        Focus(*window_, pane);
        QTest::keyClick(pane, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(Output(), kPlaceholder);
        pane->setPlainText(QString("行\n").repeated(300));
        pane->verticalScrollBar()->setValue(40);
        QTest::keyClick(pane, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(pane->textCursor().selectedText().size(), 600);
        QCOMPARE(pane->verticalScrollBar()->value(), 40);
    }

    void closingAsksFirstAndBothWaysSaveTheSameRecord() {
        // No leaves the window and the file as they were.
        const QByteArray before = "; hand-made\r\n[Settings]\r\nRatio=7\r\n";
        QVERIFY(WriteFile(IniPath(), before));
        window_->show();
        Trigger({RatioCommand(2)});
        messages_->answers = {MessageResult::No};
        window_->close();
        QVERIFY(window_->isVisible());
        QCOMPARE(messages_->texts, QStringList{"終了しますか？"});
        QCOMPARE(messages_->requests[0].buttons, MessageButtons::YesNo);
        QCOMPARE(ReadFile(IniPath()), before);

        QByteArray saved[3];
        for (const int how : {0, 1, 2}) {  // Exit, the close box, Exit with a failed box
            Renew();
            messages_->answers = {how == 2 ? MessageResult::Failed : MessageResult::Yes};
            window_->show();
            window_->move(30, 50);
            window_->resize(420, 330);
            Trigger({RatioCommand(7)});
            how == 1 ? (void)window_->close() : Trigger({CommandId::Exit});
            QVERIFY(window_->isHidden());
            saved[how] = ReadFile(IniPath());
        }
        QCOMPARE(saved[1], saved[0]);
        QCOMPARE(saved[2], saved[0]);  // a failed box is not a No
        const QSize outer = window_->frameGeometry().size();
        const QString keys = QString("XPos=30\r\nYPos=50\r\nWidth=%1\r\nHeight=%2\r\n")
                                 .arg(outer.width())
                                 .arg(outer.height());
        QVERIFY2(saved[0].contains("Ratio=7\r\n") && saved[0].contains(keys.toLatin1()),
                 saved[0].data());
        // A maximised window has no rectangle of its own: the keys keep what they held.
        window_.emplace();
        window_->showMaximized();
        Trigger({CommandId::Exit});
        QCOMPARE(ReadFile(IniPath()), saved[0]);
    }

    void convertFillsOutputAndReportsStatistics() {
        Focus(*window_, window_->outputPane());
        QVERIFY(UseDictionary(dir_.filePath("one.dat"), "X\r\n"));
        // Convert makes a normal run: no markers, the clock's seed.
        gSettings.debugRun = gSettings.useFixedSeed = gSettings.insertMark = 1;
        gSettings.insertRatio = 10;
        const auto before = static_cast<std::int32_t>(time(nullptr));
        // Line breaks come back as the pane's own; what code page 932 lacks passes on.
        window_->inputPane()->setPlainText("𠮷野家😀\n\nですます。\n東京");
        Trigger({CommandId::Convert});
        QVERIFY(RunEnds(*window_));
        QCOMPARE(Output(), QString("X𠮷野家😀\n\nですます。\nX東京"));
        QCOMPARE(Status(), QString("変換終了： [挿入文節2 / 総文節2 = 挿入率100.0%] [解析行4] "
                                   "[辞書の単語1個] [出力16文字]"));
        QVERIFY(gSettings.newestRandomSeed >= before);
        QCOMPARE(gSettings.debugRun, 0);
        QVERIFY(window_->outputPane()->hasFocus());  // given back when the panes are enabled
        QVERIFY(messages_->requests.isEmpty());
    }

    // A failed run is told while the window is as the run left it: nothing greyed when
    // the dictionary does not open, busy when it is empty; starts meanwhile are ignored.
    void failedRunsAreToldAndLeaveTheOutputAsItWas() {
        QVERIFY(WriteFile(dir_.filePath("empty.dat"), QByteArray("\x1A") + "ignored\r\n"));
        // The dictionary path, the message, the greyed panes and commands and the status
        // while the message is up.
        const std::tuple<QString, QString, QStringList> rows[] = {
            {QString(),
             "辞書ファイルを設定してください。\r\n\r\nメニューの[変換設定]→[辞書ファイル設定]で"
             "設定します。",
             {""}},
            {dir_.filePath("missing.dat"), "辞書ファイルが開けません", {""}},
            {dir_.filePath("empty.dat"),
             "辞書ファイルが空です",
             {"pane1003", "pane1004", "command1034", "command1035", "command1005", "command1002",
              "command1024", "処理中．．．"}}};
        for (const auto& [path, message, greyed] : rows) {
            Renew();
            QVERIFY(SetDictionaryPath(path));
            QStringList during{"not asked"};
            SetMessageHandler([&](const MessageRequest& request) {
                during = Greyed(*window_) << Status();
                window_->OnConvert();
                return messages_->Answer(request);
            });
            window_->inputPane()->setPlainText("東京");
            Trigger({CommandId::Convert, CommandId::Convert});  // the second before it is busy
            QVERIFY(RunEnds(*window_));
            QCOMPARE(messages_->texts, QStringList{message});
            QCOMPARE(during, greyed);
            QCOMPARE(Greyed(*window_), QStringList());
            QCOMPARE(Output(), kPlaceholder);
            QCOMPARE(Status(), QString());  // no 処理中 left once the run is over
        }
    }

    void closingDuringARunSavesAndEndsCleanly() {
        window_->show();
        QVERIFY(UseDictionary(dir_.filePath("one.dat"), "X"));
        window_->inputPane()->setPlainText(QString("東京は大きい。\n").repeated(400000));
        Trigger({CommandId::Convert});
        QTRY_VERIFY(!window_->inputPane()->isEnabled());
        window_->close();  // answered Yes
        QVERIFY(window_->isHidden());
        QVERIFY(QFile::exists(IniPath()));
        window_.reset();  // stops the conversion and waits for the worker
    }
};

QTEST_MAIN(MainDlgTest)
#include "MainDlgTest.moc"
