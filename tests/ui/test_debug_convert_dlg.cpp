// The debug conversion dialog through its command: the options it shows and stores, the
// seed field's refusals, copying the newest seed, and the run OK starts.
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "DialogTestSupport.h"
#include "WindowTestSupport.h"
#include "ui/DebugConvertDlg.h"
#include "ui/DialogFont.h"

using namespace quillery;

namespace {

QLineEdit* SeedEdit(CDebugConvertDlg& dialog) {
    return dialog.findChild<QLineEdit*>("edit1038");
}
QCheckBox* Check(CDebugConvertDlg& dialog, const char* name) {
    return dialog.findChild<QCheckBox*>(name);
}
QPushButton* Button(CDebugConvertDlg& dialog, const char* name) {
    return dialog.findChild<QPushButton*>(name);
}
QString NewestSeedText(CDebugConvertDlg& dialog) {
    return dialog.findChild<QLabel*>("static1039")->text();
}

void ReplaceSeed(CDebugConvertDlg& dialog, const QString& text) {
    SeedEdit(dialog)->selectAll();
    QTest::keyClick(SeedEdit(dialog), Qt::Key_Delete);
    SeedEdit(dialog)->insert(text);
}

}  // namespace

class DebugConvertDlgTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    // The window with settings that give a varied conversion of a long text.
    void Prepare(CMainDlg& window) {
        QVERIFY(UseDictionary(dir_.filePath("words.dat"),
                              Cp932("春の\r\n静かな\r\nふと\r\n遠い\r\n青い\r\n")));
        gSettings.insertRatio = 5;
        window.RefreshMenusAndTitle();
        window.inputPane()->setPlainText(
            QString("今日は東京で雨が降りました。明日は大阪へ行きます。\n").repeated(20));
    }

  private slots:
    void initTestCase() { InstallDialogFontSubstitutions(); }
    void init() { ResetSettings(); }

    void showsTheSettingsWithTheTemplatesTextsAndOrder() {
        MessageRecorder messages;
        CMainDlg window;
        gSettings.randomSeed = 4294967295u;
        gSettings.useFixedSeed = 1;
        gSettings.insertMark = 2;  // hand-edited: only 1 ticks the box
        gSettings.newestRandomSeed = INT32_MIN;
        const auto ran = WhenModal<CDebugConvertDlg>([](CDebugConvertDlg& dialog) {
            QCOMPARE(dialog.windowTitle(), QString("デバッグ変換"));
            const DialogUnits units(dialog.font());
            QCOMPARE(dialog.size(), units.Size(165, 118));
            QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
            QVERIFY(dialog.parentWidget() == nullptr);
            QCOMPARE(SeedEdit(dialog)->text(), QString("4294967295"));
            QCOMPARE(SeedEdit(dialog)->geometry(), units.Rect(94, 35, 62, 12));
            QVERIFY(Check(dialog, "check1037")->isChecked());
            QVERIFY(!Check(dialog, "check1036")->isChecked());
            QCOMPARE(Check(dialog, "check1036")->text(), QString("文節に<>を挿入"));
            QCOMPARE(Check(dialog, "check1037")->text(), QString("乱数系列を固定する"));
            QCOMPARE(NewestSeedText(dialog), QString("-2147483648"));
            QCOMPARE(dialog.findChild<QLabel*>("static1039")->frameShadow(), QFrame::Sunken);
            QCOMPARE(Button(dialog, "button1040")->text(), QString("↑コピー"));
            QCOMPARE(Button(dialog, "button1040")->geometry(), units.Rect(105, 51, 40, 12));
            QVERIFY(Button(dialog, "button1")->isDefault());
            QCOMPARE(Button(dialog, "button2")->text(), QString("ｷｬﾝｾﾙ"));
            QVERIFY(
                LabelTexts(dialog).contains(QString("系列値(0") + QChar(0xFF5E) + "4294967295)"));
            QVERIFY(LabelTexts(dialog).contains("最新の通常変換の系列値"));
            QCOMPARE(TabOrder(Button(dialog, "button1")),
                     QStringList({"button1", "button2", "check1036", "check1037", "edit1038",
                                  "button1040"}));
            // Every text shows whole in the program's dialog font.
            QCOMPARE(CutOffTexts(dialog), QStringList());
            // The seed field stays enabled whatever the box says.
            Check(dialog, "check1037")->setChecked(false);
            QVERIFY(SeedEdit(dialog)->isEnabled());
        });
        window.OnDebugConvert();
        QVERIFY(*ran);
        QVERIFY(messages.requests.isEmpty());
    }

    void cancelTheCloseBoxAndEscapeChangeNothingAndStartNothing() {
        MessageRecorder messages;
        CMainDlg window;
        Prepare(window);
        gSettings.randomSeed = 77;
        const Settings before = gSettings;
        for (int how = 0; how < 3; ++how) {
            const auto ran = WhenModal<CDebugConvertDlg>([how](CDebugConvertDlg& dialog) {
                Check(dialog, "check1036")->click();
                Check(dialog, "check1037")->click();
                ReplaceSeed(dialog, "12345");
                Button(dialog, "button1040")->click();
                if (how == 0) {
                    QTest::mouseClick(Button(dialog, "button2"), Qt::LeftButton);
                } else if (how == 1) {
                    dialog.close();
                } else {
                    QTest::keyClick(SeedEdit(dialog), Qt::Key_Escape);
                }
                QVERIFY(!dialog.isVisible());
            });
            window.OnDebugConvert();
            QVERIFY(*ran);
            QVERIFY(!window.runActive());
            QTest::qWait(20);
            QVERIFY(gSettings == before);
            QCOMPARE(window.outputPane()->toPlainText(), kPlaceholder);
        }
        QVERIFY(messages.requests.isEmpty());
    }

    void seedsThatAreNotNumbersInRangeAreRefused() {
        MessageRecorder messages;
        CMainDlg window;
        Prepare(window);
        gSettings.randomSeed = 9;
        const Settings before = gSettings;
        const auto ran = WhenModal<CDebugConvertDlg>([&](CDebugConvertDlg& dialog) {
            dialog.activateWindow();
            Check(dialog, "check1036")->click();
            for (const char* seed : {"", "-1", "12x", " 12", "12 ", "+5", "1.5", "１２",
                                     "4294967296", "99999999999999999999"}) {
                messages.requests.clear();
                ReplaceSeed(dialog, seed);
                Button(dialog, "button1")->setFocus();
                QTest::mouseClick(Button(dialog, "button1"), Qt::LeftButton);
                QCOMPARE(messages.texts(),
                         QStringList{"系列値には 0～4294967295 の整数を入力してください。"});
                QCOMPARE(messages.requests[0].buttons, MessageButtons::Ok);
                QVERIFY(dialog.isVisible());
                QCOMPARE(dialog.focusWidget(), SeedEdit(dialog));
                QCOMPARE(SeedEdit(dialog)->selectedText(), QString(seed));
                QCOMPARE(dialog.m_insertMark, before.insertMark);
            }
            QTest::mouseClick(Button(dialog, "button2"), Qt::LeftButton);
        });
        window.OnDebugConvert();
        QVERIFY(*ran);
        QVERIFY(!window.runActive());
        QVERIFY(gSettings == before);
        QCOMPARE(window.outputPane()->toPlainText(), kPlaceholder);
    }

    void seedsInRangeRoundTrip() {
        MessageRecorder messages;
        CMainDlg window;
        Prepare(window);
        const std::tuple<QString, std::uint32_t, QString> rows[] = {
            {"4294967295", 4294967295u, "4294967295"},
            {"0", 0u, "0"},
            {"0007", 7u, "7"},
            {"2147483648", 2147483648u, "2147483648"}};
        for (const auto& [typed, stored, shownAgain] : rows) {
            auto ran = WhenModal<CDebugConvertDlg>([&typed](CDebugConvertDlg& dialog) {
                ReplaceSeed(dialog, typed);
                Button(dialog, "button1")->click();
            });
            window.OnDebugConvert();
            QVERIFY(*ran);
            QVERIFY(RunEnds(window));
            QCOMPARE(gSettings.randomSeed, stored);
            ran = WhenModal<CDebugConvertDlg>([&shownAgain](CDebugConvertDlg& dialog) {
                QCOMPARE(SeedEdit(dialog)->text(), shownAgain);
            });
            window.OnDebugConvert();
            QVERIFY(*ran);
        }
        QVERIFY(messages.requests.isEmpty());
    }

    void okStoresTheOptionsAndStartsADebugRun() {
        MessageRecorder messages;
        CMainDlg window;
        QVERIFY(UseDictionary(dir_.filePath("x.dat"), "X\r\n"));
        gSettings.insertRatio = 10;
        window.inputPane()->setPlainText("私は東京に行きました。");
        auto ran = WhenModal<CDebugConvertDlg>([](CDebugConvertDlg& dialog) {
            Check(dialog, "check1036")->click();
            Check(dialog, "check1037")->click();
            ReplaceSeed(dialog, "1");
            Button(dialog, "button1")->click();
        });
        window.OnDebugConvert();
        QVERIFY(*ran);
        QVERIFY(RunEnds(window));
        QCOMPARE(QList<int>({gSettings.insertMark, gSettings.useFixedSeed, gSettings.debugRun}),
                 QList<int>({1, 1, 1}));
        QCOMPARE(gSettings.randomSeed, 1u);
        QCOMPARE(gSettings.newestRandomSeed, 0);  // a fixed seed records nothing
        QCOMPARE(window.outputPane()->toPlainText(), QString("<X>私は<X>東京に<X>行きました。"));

        // Both boxes cleared: the clock seeds the run, which is recorded.
        const std::int32_t before = static_cast<std::int32_t>(time(nullptr));
        ran = WhenModal<CDebugConvertDlg>([](CDebugConvertDlg& dialog) {
            Check(dialog, "check1036")->click();
            Check(dialog, "check1037")->click();
            Button(dialog, "button1")->click();
        });
        window.OnDebugConvert();
        QVERIFY(*ran);
        QVERIFY(RunEnds(window));
        QCOMPARE(QList<int>({gSettings.insertMark, gSettings.useFixedSeed, gSettings.debugRun}),
                 QList<int>({0, 0, 1}));
        QVERIFY(gSettings.newestRandomSeed >= before);
        QCOMPARE(window.outputPane()->toPlainText(), QString("X私はX東京にX行きました。"));
        QVERIFY(messages.requests.isEmpty());
    }

    void copyFixAndOkRepeatTheCopiedRun() {
        MessageRecorder messages;
        CMainDlg window;
        Prepare(window);
        window.OnConvert();
        QVERIFY(RunEnds(window));
        const QString normal = window.outputPane()->toPlainText();
        const std::int32_t seed = gSettings.newestRandomSeed;
        QVERIFY(seed > 0);
        QVERIFY(normal != window.inputPane()->toPlainText());
        // Another seed gives another output, so the comparison below can fail.
        gSettings.randomSeed = static_cast<std::uint32_t>(seed) + 1;
        gSettings.useFixedSeed = 1;
        gSettings.debugRun = 1;
        window.StartRun();
        QVERIFY(RunEnds(window));
        QVERIFY(window.outputPane()->toPlainText() != normal);
        gSettings.useFixedSeed = 0;

        const auto ran = WhenModal<CDebugConvertDlg>([seed](CDebugConvertDlg& dialog) {
            QCOMPARE(NewestSeedText(dialog), QString::number(seed));
            Button(dialog, "button1040")->click();
            QCOMPARE(SeedEdit(dialog)->text(), NewestSeedText(dialog));
            QVERIFY(!Check(dialog, "check1037")->isChecked());  // copying ticks nothing
            Check(dialog, "check1037")->click();
            Button(dialog, "button1")->click();
        });
        window.OnDebugConvert();
        QVERIFY(*ran);
        QVERIFY(RunEnds(window));
        QCOMPARE(window.outputPane()->toPlainText(), normal);
        QCOMPARE(gSettings.randomSeed, static_cast<std::uint32_t>(seed));
        QCOMPARE(gSettings.newestRandomSeed, seed);
        QVERIFY(messages.requests.isEmpty());
    }

    void aNegativeNewestSeedCopiesAsTheSeedItStandsFor() {
        MessageRecorder messages;
        CMainDlg window;
        Prepare(window);
        gSettings.newestRandomSeed = -5;
        const auto ran = WhenModal<CDebugConvertDlg>([](CDebugConvertDlg& dialog) {
            QCOMPARE(NewestSeedText(dialog), QString("-5"));
            Button(dialog, "button1040")->click();
            QCOMPARE(SeedEdit(dialog)->text(), QString("4294967291"));
            Check(dialog, "check1037")->click();
            Button(dialog, "button1")->click();
        });
        window.OnDebugConvert();
        QVERIFY(*ran);
        QVERIFY(RunEnds(window));
        QCOMPARE(gSettings.randomSeed, 4294967291u);
    }

    void doesNothingWhileARunIsStarting() {
        MessageRecorder messages;
        CMainDlg window;
        window.OnConvert();  // no dictionary: the run ends with its message
        const auto ran = WhenModal<CDebugConvertDlg>([](CDebugConvertDlg& dialog) {
            Check(dialog, "check1036")->click();
            Button(dialog, "button1")->click();
        });
        window.OnDebugConvert();
        QVERIFY(RunEnds(window));
        QVERIFY(!*ran);
        QCOMPARE(QList<int>({gSettings.insertMark, gSettings.debugRun}), QList<int>({0, 0}));
        QCOMPARE(messages.requests.size(), 1);
    }
};

QTEST_MAIN(DebugConvertDlgTest)
#include "test_debug_convert_dlg.moc"
