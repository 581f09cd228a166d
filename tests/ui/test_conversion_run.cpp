// Conversion runs through the window: the road of a run, its failures, the busy state,
// repeated starts and closing while a run converts.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>

#include "WindowTestSupport.h"
#include "engine/Conversion.h"
#include "engine/KeywordList.h"
#include "engine/StatusText.h"
#include "ui/MainMenu.h"

using namespace quillery;

namespace {

// The object names of the disabled panes and commands, sorted.
QStringList Greyed(const CMainDlg& window) {
    QStringList greyed;
    for (const QWidget* pane : {window.inputPane(), window.outputPane()}) {
        if (!pane->isEnabled()) {
            greyed << pane->objectName();
        }
    }
    for (const QAction* action : window.findChildren<QAction*>()) {
        if (!action->isEnabled()) {
            greyed << action->objectName();
        }
    }
    greyed.sort();
    return greyed;
}

}  // namespace

class ConversionRunTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

  private slots:
    void init() {
        ResetSettings();
        SetStatusText(u"");
    }

    void convertFillsOutputAndReportsStatistics() {
        MessageRecorder messages;
        CMainDlg window;
        window.show();
        QVERIFY(UseDictionary(dir_.filePath("one.dat"), "X\r\n"));
        gSettings.insertRatio = 10;
        window.RefreshMenusAndTitle();
        window.inputPane()->setPlainText("私は東京に行きました。");
        const std::int32_t before = static_cast<std::int32_t>(time(nullptr));
        window.menu()->action(CommandId::Convert)->trigger();
        QVERIFY(RunEnds(window));
        QCOMPARE(window.outputPane()->toPlainText(), QString("X私はX東京にX行きました。"));
        QCOMPARE(window.statusField()->text(),
                 QString("変換終了： [挿入文節3 / 総文節3 = 挿入率100.0%] [解析行1] "
                         "[辞書の単語1個] [出力14文字]"));
        QVERIFY(gSettings.newestRandomSeed >= before);
        QVERIFY(gSettings.newestRandomSeed <= static_cast<std::int32_t>(time(nullptr)));
        QCOMPARE(gSettings.debugRun, 0);
        QCOMPARE(Greyed(window), QStringList());

        // Line breaks come back as the pane's own; what code page 932 lacks passes through.
        window.inputPane()->setPlainText("𠮷野家😀\n\nですます。\n東京");
        window.OnConvert();
        QVERIFY(RunEnds(window));
        QCOMPARE(window.outputPane()->toPlainText(), QString("X𠮷野家😀\n\nですます。\nX東京"));
        QCOMPARE(window.statusField()->text(),
                 QString("変換終了： [挿入文節2 / 総文節2 = 挿入率100.0%] [解析行4] "
                         "[辞書の単語1個] [出力16文字]"));
        QVERIFY(messages.requests.isEmpty());
    }

    void focusStaysInThePaneAcrossARun() {
        MessageRecorder messages;
        CMainDlg window;
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QVERIFY(UseDictionary(dir_.filePath("one.dat"), "X"));
        window.outputPane()->setFocus();
        QTRY_VERIFY(window.outputPane()->hasFocus());
        window.OnConvert();
        QVERIFY(RunEnds(window));
        QVERIFY(window.outputPane()->hasFocus());
    }

    void statisticsTexts() {
        MessageRecorder messages;
        CMainDlg window;
        QVERIFY(UseDictionary(dir_.filePath("three.dat"), Cp932("春の\r\n\r\n静かな\r\n")));
        const struct {
            QString input;
            int ratio;
            QString status;
        } rows[] = {
            {"", 4,
             "変換終了：[挿入文節0 / 総文節0 = 挿入率0.0%] [解析行0] [辞書の単語3個] [出力0文字]"},
            {"ですます。\nかな", 4,
             "変換終了：[挿入文節0 / 総文節0 = 挿入率0.0%] [解析行2] [辞書の単語3個] [出力8文字]"},
            {"東京、大阪", 0,
             "変換終了： [挿入文節0 / 総文節2 = 挿入率0.0%] [解析行1] [辞書の単語3個] "
             "[出力5文字]"},
        };
        for (const auto& row : rows) {
            gSettings.insertRatio = row.ratio;
            window.inputPane()->setPlainText(row.input);
            window.OnConvert();
            QVERIFY(RunEnds(window));
            QCOMPARE(window.statusField()->text(), row.status);
            QCOMPARE(window.outputPane()->toPlainText(), row.input);
        }
    }

    void failuresLeaveTheWindowAsItWas() {
        QVERIFY(QDir(dir_.path()).mkpath("folder.dat"));
        const QString noPath = QStringLiteral(
            "辞書ファイルを設定してください。\r\n\r\nメニューの[変換設定]→[辞書ファイル設定]で"
            "設定します。");
        const QString cannotOpen = QStringLiteral("辞書ファイルが開けません");
        const std::pair<QString, QString> cases[] = {{QString(), noPath},
                                                     {dir_.filePath("missing.dat"), cannotOpen},
                                                     {dir_.filePath("folder.dat"), cannotOpen}};
        for (const auto& [path, message] : cases) {
            MessageRecorder messages;
            CMainDlg window;
            QVERIFY(SetDictionaryPath(path));
            window.inputPane()->setPlainText("東京");
            QStringList greyedDuring{"not asked"};
            SetMessageHandler([&](const MessageRequest& request) {
                messages.requests.append(request);
                greyedDuring = Greyed(window);
                return MessageResult::Ok;
            });
            window.OnConvert();
            QVERIFY(RunEnds(window));
            QCOMPARE(messages.texts(), QStringList{message});
            QCOMPARE(messages.requests[0].buttons, MessageButtons::Ok);
            QCOMPARE(messages.requests[0].caption, QCoreApplication::applicationName());
            QCOMPARE(greyedDuring, QStringList());
            QVERIFY(window.statusField()->text().isEmpty());
            QCOMPARE(window.outputPane()->toPlainText(), kPlaceholder);
        }
    }

    void emptyDictionaryLeavesBusyStatusAndReenables() {
        MessageRecorder messages;
        CMainDlg window;
        window.show();
        QVERIFY(UseDictionary(dir_.filePath("empty.dat"),
                              "\x1A"
                              "ignored\r\n"));
        window.inputPane()->setPlainText("東京");
        QStringList greyedDuring;
        QString statusDuring;
        SetMessageHandler([&](const MessageRequest& request) {
            messages.requests.append(request);
            greyedDuring = Greyed(window);
            statusDuring = window.statusField()->text();
            // A start while the message is open does not start a second run.
            window.OnConvert();
            return MessageResult::Ok;
        });
        window.OnConvert();
        QVERIFY(RunEnds(window));
        QCOMPARE(messages.texts(), QStringList{"辞書ファイルが空です"});
        QCOMPARE(greyedDuring, QStringList({"command1002", "command1005", "command1024",
                                            "command1034", "command1035", "pane1003", "pane1004"}));
        QCOMPARE(statusDuring, QString("処理中．．．"));
        QCOMPARE(Greyed(window), QStringList());
        QCOMPARE(window.statusField()->text(), QString("処理中．．．"));
        QCOMPARE(window.outputPane()->toPlainText(), kPlaceholder);
        QCOMPARE(gSettings.newestRandomSeed, 0);
    }

    void fixedSeedRunsRepeatExactly() {
        MessageRecorder messages;
        CMainDlg window;
        QVERIFY(UseDictionary(dir_.filePath("words.dat"), Cp932("春の\r\n静かな\r\nふと\r\n遠い")));
        gSettings.insertRatio = 5;
        gSettings.debugRun = 1;
        gSettings.useFixedSeed = 1;
        gSettings.randomSeed = 4294967295u;
        const QString text =
            "吾輩は猫である。名前はまだ無い。\nどこで生れたかとんと見当がつかぬ。\n何でも薄暗いじめ"
            "じめした所でニャーニャー泣いていた事だけは記憶している。";
        window.inputPane()->setPlainText(text);
        QVERIFY(window.StartRun());
        QVERIFY(RunEnds(window));
        const QString first = window.outputPane()->toPlainText();
        QVERIFY(window.StartRun());
        QVERIFY(RunEnds(window));
        QCOMPARE(window.outputPane()->toPlainText(), first);
        QCOMPARE(gSettings.newestRandomSeed, 0);  // a fixed seed is not recorded

        // The same as the engine gives for that seed.
        KeywordList keywords;
        for (const char16_t* k : {u"春の", u"静かな", u"ふと", u"遠い"}) {
            keywords.Append(k);
        }
        RandomSource random;
        random.Seed(4294967295u);
        const auto expected = ConvertText(QString(text).replace('\n', "\r\n").toStdU16String(),
                                          keywords, {5, false}, random);
        QCOMPARE(first, QString::fromStdU16String(expected.text).replace("\r\n", "\n"));
    }

    void ratioChosenDuringARunAppliesToTheNext() {
        MessageRecorder messages;
        CMainDlg window;
        QVERIFY(UseDictionary(dir_.filePath("one.dat"), "X"));
        gSettings.insertRatio = 10;
        window.inputPane()->setPlainText(QString("東京、").repeated(20000));
        window.OnConvert();
        window.OnRatio(0);
        QVERIFY(window.windowTitle().startsWith("Quillery - 0% "));
        QVERIFY(RunEnds(window));
        QCOMPARE(window.outputPane()->toPlainText().count('X'), 20000);
        window.OnConvert();
        QVERIFY(RunEnds(window));
        QCOMPARE(window.outputPane()->toPlainText().count('X'), 0);
    }

    void secondStartBeforeBusyIsIgnored() {
        MessageRecorder messages;
        CMainDlg window;
        window.OnConvert();  // no dictionary: one message
        window.OnConvert();
        QVERIFY(!window.StartRun());
        QVERIFY(RunEnds(window));
        QCOMPARE(messages.requests.size(), 1);
    }

    void closingDuringARunSavesAndEndsCleanly() {
        MessageRecorder messages;
        {
            CMainDlg window;
            window.show();
            QVERIFY(UseDictionary(dir_.filePath("one.dat"), "X"));
            gSettings.insertRatio = 10;
            window.inputPane()->setPlainText(QString("東京は大きい。\n").repeated(400000));
            window.OnConvert();
            // Busy, and the input handed over: the worker is converting.
            QTRY_VERIFY(!window.inputPane()->isEnabled());
            QTest::qWait(20);
            window.close();  // answered Yes
            QVERIFY(window.isHidden());
            QCOMPARE(messages.texts(), QStringList{"終了しますか？"});
            QVERIFY(QFile::exists(IniPath()));
            QTest::qWait(50);
            QCOMPARE(window.outputPane()->toPlainText(), kPlaceholder);
        }  // destroying the window stops the conversion and waits for the worker
        QVERIFY(QFile::exists(IniPath()));
    }

    void closingBeforeTheInputIsReadEndsCleanly() {
        MessageRecorder messages;
        CMainDlg window;
        QVERIFY(UseDictionary(dir_.filePath("one.dat"), "X"));
        window.inputPane()->setPlainText("東京");
        window.OnConvert();
        window.close();  // before any of the run's operations reached the window
        QVERIFY(window.isHidden());
        QTest::qWait(50);
        QCOMPARE(window.outputPane()->toPlainText(), kPlaceholder);
        QVERIFY(window.inputPane()->isEnabled());
    }
};

QTEST_MAIN(ConversionRunTest)
#include "test_conversion_run.moc"
