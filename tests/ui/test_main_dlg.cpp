// The main window: layout, menus, title, colours, the status hand-over.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTest>
#include <thread>

#include "WindowTestSupport.h"
#include "engine/StatusText.h"
#include "settings/Settings.h"
#include "ui/DialogFont.h"
#include "ui/MainDlg.h"
#include "ui/MainMenu.h"
#include "ui/PaneLayout.h"

using namespace quillery;

namespace {

QStringList MenuLabels(const QMenu* menu) {
    QStringList labels;
    for (const QAction* action : menu->actions()) {
        labels << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return labels;
}

QStringList CheckedItems(const MainMenu& menu) {
    QStringList checked;
    for (const QAction* top : menu.menuBar()->actions()) {
        const QList<QAction*> items = top->menu()->actions();
        for (const QAction* item : items) {
            const QList<QAction*> inner =
                item->menu() ? item->menu()->actions() : QList<QAction*>{};
            for (const QAction* a : inner) {
                if (a->isChecked())
                    checked << a->text();
            }
            if (item->isChecked())
                checked << item->text();
        }
    }
    return checked;
}

}  // namespace

class MainDlgTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        QFile::remove(QCoreApplication::applicationDirPath() + "/QuilleryMini.ini");
        QFile::remove(QCoreApplication::applicationDirPath() + "/velmo.dat");
        gSettings = quillery::Settings{};
    }

    void splitFollowsTheIntegerFormula_data() {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("ratio");
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("outputTop");
        QTest::addColumn<int>("output");
        QTest::newRow("380 by thirds") << 380 << 3 << 189 << 189 << 191;
        QTest::newRow("ratio 5") << 100 << 5 << 80 << 80 << 20;
        QTest::newRow("ratio 1") << 100 << 1 << 16 << 16 << 84;
        QTest::newRow("below six") << 5 << 3 << 0 << 0 << 5;
        QTest::newRow("negative area") << -14 << 3 << 0 << -6 << 0;
        QTest::newRow("hand-edited ratio 7") << 100 << 7 << 112 << 112 << 0;
        QTest::newRow("hand-edited ratio -2") << 100 << -2 << 0 << -32 << 132;
    }
    void splitFollowsTheIntegerFormula() {
        QFETCH(int, height);
        QFETCH(int, ratio);
        QFETCH(int, input);
        QFETCH(int, outputTop);
        QFETCH(int, output);
        const PaneSplit split = SplitPaneHeights(height, ratio);
        QCOMPARE(split.inputHeight, input);
        QCOMPARE(split.outputTop, outputTop);
        QCOMPARE(split.outputHeight, output);
    }

    void panesFillTheClientAreaWithoutGaps() {
        MessageRecorder messages;
        CMainDlg window;
        window.show();
        gSettings.windowRatio = 3;
        window.resize(600, 440);
        window.LayoutPanes();
        const int top = window.menu()->menuBar()->height();
        const int paneArea = window.height() - top - window.statusBar()->height();
        const QRect input = window.inputPane()->geometry();
        const QRect output = window.outputPane()->geometry();
        QCOMPARE(input, QRect(0, top, 600, paneArea / 6 * 3));
        QCOMPARE(output.top(), input.bottom() + 1);
        QCOMPARE(output.height(), paneArea - input.height());
        QCOMPARE(window.statusBar()->geometry().top(), output.bottom() + 1);

        window.OnCommand(CommandId::WindowRatio5);
        QCOMPARE(window.inputPane()->height(), paneArea / 6 * 5);
        QCOMPARE(window.outputPane()->height(), paneArea - paneArea / 6 * 5);
    }

    void menuBarHoldsEveryItemInOrder() {
        MessageRecorder messages;
        CMainDlg window;
        const QList<QAction*> popups = window.menu()->menuBar()->actions();
        QStringList titles;
        for (const QAction* popup : popups)
            titles << popup->text();
        QCOMPARE(titles, QStringList({"ファイル(&F)", "変換(&C)", "変換設定(&S)", "ウインドウ(&W)",
                                      "ヘルプ(&H)"}));
        QCOMPARE(MenuLabels(popups[0]->menu()),
                 QStringList({"入力テキスト保存(&S)", "変換テキスト保存(&C)", "-", "終了(&X)"}));
        QCOMPARE(MenuLabels(popups[1]->menu()), QStringList({"変換(&C)", "-", "デバッグ変換(&D)"}));
        QCOMPARE(MenuLabels(popups[2]->menu()),
                 QStringList({"変換率(&R)", "辞書ファイル設定(&D)"}));
        QCOMPARE(MenuLabels(popups[2]->menu()->actions()[0]->menu()),
                 QStringList({"0%", "10%", "20%", "30%", "40%", "50%", "60%", "70%", "80%", "90%",
                              "100%"}));
        QCOMPARE(MenuLabels(popups[3]->menu()),
                 QStringList(
                     {"ウインドウ比率(&W)", "黒の背景色にする(&B)", "変換ペインを読込専用(&R)"}));
        QCOMPARE(MenuLabels(popups[3]->menu()->actions()[0]->menu()),
                 QStringList({"1:5(&1)", "2:4(&2)", "3:3(&3)", "4:2(&4)", "5:1(&5)"}));
        QCOMPARE(MenuLabels(popups[4]->menu()),
                 QStringList({"オンラインヘルプ(&O)", "-", "このソフトについて(&A)"}));

        // Each item carries its command identifier, the second window ratio included.
        QCOMPARE(window.menu()->action(CommandId::WindowRatio2)->data().toInt(), 32773);
        QCOMPARE(window.findChild<QAction*>("command1016")->text(), QString("100%"));
        QCOMPARE(window.findChild<QAction*>("command1028")->text(),
                 QString("辞書ファイル設定(&D)"));
    }

    void defaultsShowFortyPercentAndThirds() {
        MessageRecorder messages;
        CMainDlg window;
        QCOMPARE(CheckedItems(*window.menu()), QStringList({"40%", "3:3(&3)"}));
        QCOMPARE(window.windowTitle(), QString("Quillery - 40% "));
    }

    void commandsMoveCheckMarksAndTitle() {
        MessageRecorder messages;
        CMainDlg window;
        window.menu()->action(CommandId::Ratio0)->trigger();
        QCOMPARE(gSettings.insertRatio, 0);
        QCOMPARE(CheckedItems(*window.menu()), QStringList({"0%", "3:3(&3)"}));
        QVERIFY(window.windowTitle().startsWith("Quillery - 0% "));

        // Choosing the checked item again keeps it checked.
        window.menu()->action(CommandId::Ratio0)->trigger();
        QCOMPARE(CheckedItems(*window.menu()), QStringList({"0%", "3:3(&3)"}));

        window.menu()->action(CommandId::Ratio100)->trigger();
        window.menu()->action(CommandId::WindowRatio2)->trigger();
        window.menu()->action(CommandId::BlackBackground)->trigger();
        window.menu()->action(CommandId::ReadOnly)->trigger();
        QCOMPARE(gSettings.insertRatio, 10);
        QCOMPARE(gSettings.windowRatio, 2);
        QCOMPARE(
            CheckedItems(*window.menu()),
            QStringList({"100%", "2:4(&2)", "黒の背景色にする(&B)", "変換ペインを読込専用(&R)"}));
        QVERIFY(window.windowTitle().startsWith("Quillery - 100% "));

        window.menu()->action(CommandId::BlackBackground)->trigger();
        window.menu()->action(CommandId::ReadOnly)->trigger();
        QCOMPARE(gSettings.blackBackground, 0);
        QCOMPARE(gSettings.editReadOnly, 0);
        QCOMPARE(CheckedItems(*window.menu()), QStringList({"100%", "2:4(&2)"}));
        for (QAction* action : window.findChildren<QAction*>()) {
            QVERIFY2(action->isEnabled(), qPrintable(action->text()));
        }
    }

    void titleShowsTheDictionaryFileName_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("ratio");
        QTest::addColumn<QString>("title");
        QTest::newRow("windows path") << "D:\\data\\words.txt" << 4 << "Quillery - 40% words.txt";
        QTest::newRow("empty path") << "" << 4 << "Quillery - 40% ";
        QTest::newRow("no extension") << "/home/a/words" << 4 << "Quillery - 40% words";
        QTest::newRow("ends in separator") << "/home/a/" << 4 << "Quillery - 40% ";
        QTest::newRow("hand-edited ratio") << "/x/y.dat" << 15 << "Quillery - 150% y.dat";
        QTest::newRow("trail byte 0x5C")
            << "C:\\表\\ソフト.dat" << 3 << "Quillery - 30% ソフト.dat";
    }
    void titleShowsTheDictionaryFileName() {
        QFETCH(QString, path);
        QFETCH(int, ratio);
        QFETCH(QString, title);
        MessageRecorder messages;
        CMainDlg window;
        const QByteArray bytes = Cp932(path);
        QVERIFY(gSettings.dictionaryPath.Assign(std::string_view(bytes.data(), bytes.size())));
        gSettings.insertRatio = ratio;
        window.RefreshMenusAndTitle();
        QCOMPARE(window.windowTitle(), title);
        // A ratio outside the menu's range checks no ratio item.
        const QStringList checked = CheckedItems(*window.menu());
        QCOMPARE(checked.contains(RatioLabel(ratio)), ratio <= 10);
    }

    void readOnlyFollowsAnyNonZeroValue() {
        MessageRecorder messages;
        CMainDlg window;
        gSettings.editReadOnly = 2;
        window.RefreshMenusAndTitle();
        QVERIFY(window.outputPane()->isReadOnly());
        QVERIFY(!window.menu()->action(CommandId::ReadOnly)->isChecked());
        window.OnCommand(CommandId::ReadOnly);
        QCOMPARE(gSettings.editReadOnly, 1);
        QVERIFY(window.outputPane()->isReadOnly());
        QVERIFY(window.menu()->action(CommandId::ReadOnly)->isChecked());
        window.OnCommand(CommandId::ReadOnly);
        QCOMPARE(gSettings.editReadOnly, 0);
        QVERIFY(!window.outputPane()->isReadOnly());
        QVERIFY(!window.inputPane()->isReadOnly());
    }

    void blackBackgroundOnlyInEnabledWritablePanes() {
        MessageRecorder messages;
        CMainDlg window;
        const auto isBlack = [](const QPlainTextEdit* pane) {
            return pane->palette().color(QPalette::Base) == Qt::black &&
                   pane->palette().color(QPalette::Text) == Qt::white;
        };
        QVERIFY(!isBlack(window.inputPane()));

        gSettings.blackBackground = 2;  // hand-edited: counts as off, one toggle makes it 1
        window.RefreshMenusAndTitle();
        QVERIFY(!isBlack(window.inputPane()));
        window.OnCommand(CommandId::BlackBackground);
        QCOMPARE(gSettings.blackBackground, 1);
        QVERIFY(isBlack(window.inputPane()));
        QVERIFY(isBlack(window.outputPane()));

        window.OnCommand(CommandId::ReadOnly);
        QVERIFY(isBlack(window.inputPane()));
        QVERIFY(!isBlack(window.outputPane()));

        window.SetBusy(true);
        QVERIFY(!isBlack(window.inputPane()));
        window.SetBusy(false);
        QVERIFY(isBlack(window.inputPane()));

        window.OnCommand(CommandId::BlackBackground);
        QVERIFY(!isBlack(window.inputPane()));
    }

    void startsWithPlaceholderAndEmptyStatus() {
        MessageRecorder messages;
        CMainDlg window;
        QCOMPARE(window.outputPane()->toPlainText(),
                 QString("<<< ここに変換結果が表示されます >>>"));
        QVERIFY(window.statusField()->text().isEmpty());
        QCOMPARE(window.inputPane()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(window.inputPane()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QVERIFY(!window.windowIcon().pixmap(32).isNull());
    }

    void handOverFromAnotherThreadShowsStatusText() {
        MessageRecorder messages;
        CMainDlg window;
        window.show();
        std::thread worker([&window] {
            quillery::SetStatusText(u"処理中．．．");
            window.RequestStatusHandOver();
        });
        worker.join();
        QVERIFY(window.statusField()->text().isEmpty());  // queued, not yet handled
        QTRY_COMPARE(window.statusField()->text(), QString("処理中．．．"));
        // The bar shows StatusText as it was when the hand-over arrived, and changes
        // only with the next one.
        quillery::SetStatusText(u"変換終了");
        QTest::qWait(20);
        QCOMPARE(window.statusField()->text(), QString("処理中．．．"));
        window.RequestStatusHandOver();
        window.RequestStatusHandOver();
        QTRY_COMPARE(window.statusField()->text(), QString("変換終了"));
        quillery::SetStatusText(u"");
    }

    void savedRectangleRestoredOnlyWhenComplete() {
        MessageRecorder messages;
        const QString ini = QCoreApplication::applicationDirPath() + "/QuilleryMini.ini";
        QPoint unplaced;
        {
            CMainDlg window;
            window.show();
            unplaced = window.frameGeometry().topLeft();
        }
        QVERIFY(WriteFile(ini, "[Window]\r\nXPos=-200\r\nYPos=40\r\nWidth=500\r\nHeight=350\r\n"));
        {
            CMainDlg window;
            window.show();
            QCOMPARE(window.frameGeometry(), QRect(-200, 40, 500, 350));
        }
        for (const char* incomplete : {"XPos=0\r\nYPos=40\r\nWidth=500\r\nHeight=350",
                                       "XPos=30\r\nYPos=40\r\nWidth=500\r\nHeight=0"}) {
            QVERIFY(WriteFile(ini, QByteArray("[Window]\r\n") + incomplete));
            CMainDlg window;
            window.show();
            QCOMPARE(window.frameGeometry().topLeft(), unplaced);
            QVERIFY(window.frameGeometry().size() != QSize(500, 350));
        }
        QFile::remove(ini);
    }

    void startsAtTheTemplateSize() {
        MessageRecorder messages;
        CMainDlg window;
        const DialogUnits units(DialogFont());
        const int menuHeight = window.menu()->menuBar()->heightForWidth(window.width());
        QCOMPARE(window.size(), QSize(units.X(330), units.Y(241) + menuHeight));
    }
};

QTEST_MAIN(MainDlgTest)
#include "test_main_dlg.moc"
