// Conversion runs through the window: the road of a run, its failures, the busy state,
// repeated starts and closing while a run converts.
#include <QtWidgets>

#include "WindowTestSupport.h"
#include "engine/StatusText.h"
#include "ui/MainMenu.h"

using namespace quillery;

namespace {

// The object names of the disabled panes and commands, sorted.
QStringList Greyed(const CMainDlg& window) {
    QStringList greyed;
    const QRegularExpression names("^(pane|command)\\d+$");
    for (const QObject* object : window.findChildren<QObject*>(names)) {
        if (!object->property("enabled").toBool()) {
            greyed << object->objectName();
        }
    }
    greyed.sort();
    return greyed;
}

}  // namespace

class ConversionRunTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::optional<MessageRecorder> messages_;
    std::optional<CMainDlg> window_;

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

    void convertFillsOutputAndReportsStatistics() {
        window_->show();
        QApplication::setActiveWindow(&*window_);
        QVERIFY(QTest::qWaitForWindowActive(&*window_));
        window_->outputPane()->setFocus();
        QVERIFY(UseDictionary(dir_.filePath("one.dat"), "X\r\n"));
        const auto before = static_cast<std::int32_t>(time(nullptr));
        const QString done =
            "変換終了：%1[挿入文節%2 / 総文節%3 = 挿入率%4%] [解析行%5] "
            "[辞書の単語1個] [出力%6文字]";
        const std::tuple<QString, int, QString, QString> rows[] = {
            {"私は東京に行きました。", 10, "X私はX東京にX行きました。",
             done.arg(" ").arg(3).arg(3).arg("100.0").arg(1).arg(14)},
            // Line breaks come back as the pane's own; what code page 932 lacks passes on.
            {"𠮷野家😀\n\nですます。\n東京", 10, "X𠮷野家😀\n\nですます。\nX東京",
             done.arg(" ").arg(2).arg(2).arg("100.0").arg(4).arg(16)},
            {"", 4, "", done.arg("").arg(0).arg(0).arg("0.0").arg(0).arg(0)},
            {"ですます。\nかな", 4, "ですます。\nかな",
             done.arg("").arg(0).arg(0).arg("0.0").arg(2).arg(8)},
            {"東京、大阪", 0, "東京、大阪", done.arg(" ").arg(0).arg(2).arg("0.0").arg(1).arg(5)}};
        for (const auto& [input, ratio, output, status] : rows) {
            gSettings.insertRatio = ratio;
            Convert(input);
            QCOMPARE(Output(), output);
            QCOMPARE(Status(), status);
            QCOMPARE(Greyed(*window_), QStringList());
        }
        QVERIFY(gSettings.newestRandomSeed >= before);
        QVERIFY(gSettings.newestRandomSeed <= static_cast<std::int32_t>(time(nullptr)));
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
            window_->inputPane()->setPlainText("東京");
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
        QVERIFY(UseDictionary(dir_.filePath("empty.dat"),
                              "\x1A"
                              "ignored\r\n"));
        QStringList during;
        SetMessageHandler([&](const MessageRequest& request) {
            during = Greyed(*window_) << Status();
            window_->OnConvert();  // started while the message is open: ignored
            return messages_->Answer(request);
        });
        Convert("東京");
        QCOMPARE(messages_->texts, QStringList{"辞書ファイルが空です"});
        QCOMPARE(during, QStringList({"command1002", "command1005", "command1024", "command1034",
                                      "command1035", "pane1003", "pane1004", "処理中．．．"}));
        QCOMPARE(Greyed(*window_), QStringList());
        QCOMPARE(Status(), QString("処理中．．．"));
        QCOMPARE(Output(), kPlaceholder);
        QCOMPARE(gSettings.newestRandomSeed, 0);
    }

    void fixedSeedRunsRepeatAndTheRatioOfARunIsItsOwn() {
        QVERIFY(UseDictionary(dir_.filePath("words.dat"), Cp932("春の\r\n静かな\r\nふと\r\n遠い")));
        gSettings.insertRatio = 5;
        gSettings.debugRun = 1;
        gSettings.useFixedSeed = 1;
        gSettings.randomSeed = 4294967295u;
        const QString text = QString("吾輩は猫である。名前はまだ無い。\n").repeated(9);
        window_->inputPane()->setPlainText(text);
        QStringList outputs;
        for (int i = 0; i < 2; ++i) {
            QVERIFY(window_->StartRun());
            QVERIFY(RunEnds(*window_));
            outputs << Output();
        }
        QCOMPARE(outputs[1], outputs[0]);
        QVERIFY(outputs[0] != text);
        QCOMPARE(gSettings.newestRandomSeed, 0);  // a fixed seed is not recorded

        // A ratio chosen while a run converts applies to the next run.
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

QTEST_MAIN(ConversionRunTest)
#include "test_conversion_run.moc"
