// The main window: layout, menus, title, colours, the status hand-over, its place.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <thread>

#include "WindowTestSupport.h"
#include "engine/StatusText.h"
#include "ui/DialogFont.h"
#include "ui/MainMenu.h"
#include "ui/PaneLayout.h"

using namespace quillery;

namespace {

// One line per menu, each submenu after its parent: the title, then every item's label
// with its command identifier, "-" for a separator.
void Outline(const QMenu* menu, QStringList& out) {
    QString line = menu->title() + ":";
    QList<const QMenu*> submenus;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            line += " -";
        } else if (action->menu() != nullptr) {
            line += " " + action->text();
            submenus << action->menu();
        } else {
            line += " " + action->text() + "=" + QString::number(action->data().toInt());
        }
    }
    out << line;
    for (const QMenu* submenu : submenus) {
        Outline(submenu, out);
    }
}

QStringList Sorted(QStringList list) {
    list.sort();
    return list;
}

QStringList CheckedItems(const CMainDlg& window) {
    QStringList checked;
    for (const QAction* action : window.findChildren<QAction*>()) {
        if (action->isChecked()) {
            checked << action->text();
        }
    }
    return Sorted(checked);
}

bool IsBlack(const QPlainTextEdit* pane) {
    return pane->palette().color(QPalette::Base) == Qt::black &&
           pane->palette().color(QPalette::Text) == Qt::white;
}

}  // namespace

class MainDlgTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { ResetSettings(); }

    void splitFollowsTheIntegerFormula() {
        // height, window ratio, input height, output top, output height
        const int rows[][5] = {{380, 3, 189, 189, 191}, {100, 5, 80, 80, 20}, {100, 1, 16, 16, 84},
                               {5, 3, 0, 0, 5},         {-14, 3, 0, -6, 0},   {100, 7, 112, 112, 0},
                               {100, -2, 0, -32, 132}};
        for (const auto& r : rows) {
            const PaneSplit split = SplitPaneHeights(r[0], r[1]);
            QCOMPARE(
                QList<int>({r[0], r[1], split.inputHeight, split.outputTop, split.outputHeight}),
                QList<int>({r[0], r[1], r[2], r[3], r[4]}));
        }
    }

    void panesFillTheClientAreaWithoutGaps() {
        MessageRecorder messages;
        CMainDlg window;
        window.show();
        gSettings.windowRatio = 3;
        window.resize(600, 440);
        window.LayoutPanes();
        const int top = window.menu()->menuBar()->height();
        const int area = window.height() - top - window.statusBar()->height();
        const QRect input = window.inputPane()->geometry();
        const QRect output = window.outputPane()->geometry();
        QCOMPARE(input, QRect(0, top, 600, area / 6 * 3));
        QCOMPARE(output.top(), input.bottom() + 1);
        QCOMPARE(output.height(), area - input.height());
        QCOMPARE(window.statusBar()->geometry().top(), output.bottom() + 1);
        window.OnCommand(CommandId::WindowRatio5);
        QCOMPARE(window.inputPane()->height(), area / 6 * 5);
        QCOMPARE(window.outputPane()->height(), area - area / 6 * 5);
    }

    void menuBarHoldsEveryItemInOrder() {
        MessageRecorder messages;
        CMainDlg window;
        QStringList outline;
        for (const QAction* popup : window.menu()->menuBar()->actions()) {
            Outline(popup->menu(), outline);
        }
        QCOMPARE(outline,
                 QStringList({
                     "ファイル(&F): 入力テキスト保存(&S)=1034 変換テキスト保存(&C)=1035 - "
                     "終了(&X)=1005",
                     "変換(&C): 変換(&C)=1002 - デバッグ変換(&D)=1024",
                     "変換設定(&S): 変換率(&R) 辞書ファイル設定(&D)=1028",
                     "変換率(&R): 0%=1006 10%=1007 20%=1008 30%=1009 40%=1010 50%=1011 60%=1012 "
                     "70%=1013 80%=1014 90%=1015 100%=1016",
                     "ウインドウ(&W): ウインドウ比率(&W) 黒の背景色にする(&B)=1050 "
                     "変換ペインを読込専用(&R)=1051",
                     "ウインドウ比率(&W): 1:5(&1)=1045 2:4(&2)=32773 3:3(&3)=1047 4:2(&4)=1048 "
                     "5:1(&5)=1049",
                     "ヘルプ(&H): オンラインヘルプ(&O)=1052 - このソフトについて(&A)=1041",
                 }));
        QCOMPARE(window.findChild<QAction*>("command32773")->text(), QString("2:4(&2)"));
    }

    void startsWithTheDefaultsAtTheTemplateSize() {
        MessageRecorder messages;
        CMainDlg window;
        QCOMPARE(CheckedItems(window), Sorted({"40%", "3:3(&3)"}));
        QCOMPARE(window.windowTitle(), QString("Quillery - 40% "));
        QCOMPARE(window.outputPane()->toPlainText(), kPlaceholder);
        QVERIFY(window.statusField()->text().isEmpty());
        QCOMPARE(window.inputPane()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(window.inputPane()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QVERIFY(!window.windowIcon().pixmap(32).isNull());
        const DialogUnits units(DialogFont());
        const int menuHeight = window.menu()->menuBar()->heightForWidth(window.width());
        QCOMPARE(window.size(), QSize(units.X(330), units.Y(241) + menuHeight));
    }

    void commandsMoveCheckMarksAndTitle() {
        MessageRecorder messages;
        CMainDlg window;
        // Choosing the checked item again keeps it checked.
        for (int i = 0; i < 2; ++i) {
            window.menu()->action(CommandId::Ratio0)->trigger();
            QCOMPARE(gSettings.insertRatio, 0);
            QCOMPARE(CheckedItems(window), Sorted({"0%", "3:3(&3)"}));
            QVERIFY(window.windowTitle().startsWith("Quillery - 0% "));
        }
        for (CommandId id : {CommandId::Ratio100, CommandId::WindowRatio2,
                             CommandId::BlackBackground, CommandId::ReadOnly}) {
            window.menu()->action(id)->trigger();
        }
        QCOMPARE(QList<int>({gSettings.insertRatio, gSettings.windowRatio,
                             gSettings.blackBackground, gSettings.editReadOnly}),
                 QList<int>({10, 2, 1, 1}));
        QCOMPARE(CheckedItems(window),
                 Sorted({"100%", "2:4(&2)", "黒の背景色にする(&B)", "変換ペインを読込専用(&R)"}));
        QVERIFY(window.windowTitle().startsWith("Quillery - 100% "));
        window.menu()->action(CommandId::BlackBackground)->trigger();
        window.menu()->action(CommandId::ReadOnly)->trigger();
        QCOMPARE(gSettings.blackBackground, 0);
        QCOMPARE(gSettings.editReadOnly, 0);
        QCOMPARE(CheckedItems(window), Sorted({"100%", "2:4(&2)"}));
        for (QAction* action : window.findChildren<QAction*>()) {
            QVERIFY2(action->isEnabled(), qPrintable(action->text()));
        }
    }

    void titleShowsTheDictionaryFileName() {
        MessageRecorder messages;
        CMainDlg window;
        const struct {
            QString path;
            int ratio;
            QString title;
        } rows[] = {{"D:\\data\\words.txt", 4, "Quillery - 40% words.txt"},
                    {"", 4, "Quillery - 40% "},
                    {"/home/a/words", 4, "Quillery - 40% words"},
                    {"/home/a/", 4, "Quillery - 40% "},
                    {"/x/y.dat", 15, "Quillery - 150% y.dat"},
                    {"C:\\表\\ソフト.dat", 3, "Quillery - 30% ソフト.dat"}};
        for (const auto& row : rows) {
            QVERIFY(SetDictionaryPath(row.path));
            gSettings.insertRatio = row.ratio;
            window.RefreshMenusAndTitle();
            QCOMPARE(window.windowTitle(), row.title);
            // A ratio outside the menu's range checks no ratio item.
            QCOMPARE(CheckedItems(window).contains(RatioLabel(row.ratio)), row.ratio <= 10);
        }
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
        gSettings.blackBackground = 2;  // hand-edited: counts as off, one toggle makes it 1
        window.RefreshMenusAndTitle();
        QVERIFY(!IsBlack(window.inputPane()));
        window.OnCommand(CommandId::BlackBackground);
        QCOMPARE(gSettings.blackBackground, 1);
        QVERIFY(IsBlack(window.inputPane()) && IsBlack(window.outputPane()));
        window.OnCommand(CommandId::ReadOnly);
        QVERIFY(IsBlack(window.inputPane()) && !IsBlack(window.outputPane()));
        window.SetBusy(true);
        QVERIFY(!IsBlack(window.inputPane()));
        window.SetBusy(false);
        QVERIFY(IsBlack(window.inputPane()));
        window.OnCommand(CommandId::BlackBackground);
        QVERIFY(!IsBlack(window.inputPane()));
    }

    void handOverFromAnotherThreadShowsStatusText() {
        MessageRecorder messages;
        CMainDlg window;
        window.show();
        std::thread worker([&window] {
            SetStatusText(u"処理中．．．");
            window.RequestStatusHandOver();
        });
        worker.join();
        QVERIFY(window.statusField()->text().isEmpty());  // queued, not yet handled
        QTRY_COMPARE(window.statusField()->text(), QString("処理中．．．"));
        // The bar changes only with the next hand-over.
        SetStatusText(u"変換終了");
        QTest::qWait(20);
        QCOMPARE(window.statusField()->text(), QString("処理中．．．"));
        window.RequestStatusHandOver();
        window.RequestStatusHandOver();
        QTRY_COMPARE(window.statusField()->text(), QString("変換終了"));
        SetStatusText(u"");
    }

    void savedRectangleRestoredOnlyWhenComplete() {
        MessageRecorder messages;
        QPoint unplaced;
        {
            CMainDlg window;
            window.show();
            unplaced = window.frameGeometry().topLeft();
        }
        QVERIFY(
            WriteFile(IniPath(), "[Window]\r\nXPos=-200\r\nYPos=40\r\nWidth=500\r\nHeight=350"));
        {
            CMainDlg window;
            window.show();
            QCOMPARE(window.frameGeometry(), QRect(-200, 40, 500, 350));
        }
        for (const char* incomplete : {"XPos=0\r\nYPos=40\r\nWidth=500\r\nHeight=350",
                                       "XPos=30\r\nYPos=40\r\nWidth=500\r\nHeight=0"}) {
            QVERIFY(WriteFile(IniPath(), QByteArray("[Window]\r\n") + incomplete));
            CMainDlg window;
            window.show();
            QCOMPARE(window.frameGeometry().topLeft(), unplaced);
            QVERIFY(window.frameGeometry().size() != QSize(500, 350));
        }
    }
};

QTEST_MAIN(MainDlgTest)
#include "test_main_dlg.moc"
