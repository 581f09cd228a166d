// The debug conversion dialog through its command: the options it shows and stores, the
// seed field's refusals, copying the newest seed, and the run OK starts.
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "DialogTestSupport.h"
#include "WindowTestSupport.h"
#include "settings/Settings.h"
#include "ui/DebugConvertDlg.h"
#include "ui/DialogFont.h"
#include "ui/MainDlg.h"

using namespace quillery;

using quillery::CDebugConvertDlg;

namespace {

const QString kSeedRefused = QStringLiteral("系列値には 0～4294967295 の整数を入力してください。");
const QString kPlaceholder = QStringLiteral("<<< ここに変換結果が表示されます >>>");

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
    QLineEdit* edit = SeedEdit(dialog);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    edit->insert(text);
}

void WaitForRunEnd(CMainDlg& window) {
    QTRY_VERIFY_WITH_TIMEOUT(!window.runActive(), 20000);
}

}  // namespace

class DebugConvertDlgTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    // The window with settings that give a varied conversion of a long text.
    void Prepare(CMainDlg& window) {
        const QString path = dir_.filePath("words.dat");
        QVERIFY(WriteFile(path, Cp932("春の\r\n静かな\r\nふと\r\n遠い\r\n青い\r\n")));
        const QByteArray cp932 = Cp932(path);
        QVERIFY(gSettings.dictionaryPath.Assign(std::string_view(cp932.data(), cp932.size())));
        gSettings.insertRatio = 5;
        window.RefreshMenusAndTitle();
        QString text;
        for (int i = 0; i < 20; ++i) {
            text += QStringLiteral("今日は東京で雨が降りました。明日は大阪へ行きます。\n");
        }
        window.inputPane()->setPlainText(text);
    }

  private slots:
    void initTestCase() { InstallDialogFontSubstitutions(); }

    void init() {
        QFile::remove(QCoreApplication::applicationDirPath() + "/QuilleryMini.ini");
        QFile::remove(QCoreApplication::applicationDirPath() + "/velmo.dat");
        gSettings = quillery::Settings{};
    }

    void showsTheSettingsWithTheTemplatesTextsAndOrder() {
        MessageRecorder messages;
        CMainDlg window;
        gSettings.randomSeed = 4294967295u;
        gSettings.useFixedSeed = 1;
        gSettings.insertMark = 2;  // hand-edited: only 1 ticks the box
        gSettings.newestRandomSeed = 1767225600;
        bool ran = false;
        WhenModal<CDebugConvertDlg>(ran, [](CDebugConvertDlg& dialog) {
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
            QCOMPARE(NewestSeedText(dialog), QString("1767225600"));
            QCOMPARE(dialog.findChild<QLabel*>("static1039")->frameShadow(), QFrame::Sunken);
            QCOMPARE(Button(dialog, "button1040")->text(), QString("↑コピー"));
            QCOMPARE(Button(dialog, "button1040")->geometry(), units.Rect(105, 51, 40, 12));
            QVERIFY(Button(dialog, "button1")->isDefault());
            QCOMPARE(Button(dialog, "button2")->text(), QString("ｷｬﾝｾﾙ"));
            QStringList labels;
            for (const QLabel* label : dialog.findChildren<QLabel*>()) {
                labels << label->text();
            }
            QVERIFY(labels.contains(QString("系列値(0") + QChar(0xFF5E) + "4294967295)"));
            QVERIFY(labels.contains("最新の通常変換の系列値"));
            QCOMPARE(ObjectNames(TabOrder(Button(dialog, "button1"))),
                     QStringList({"button1", "button2", "check1036", "check1037", "edit1038",
                                  "button1040"}));
            // Every text shows whole in the program's dialog font.
            QCOMPARE(CutOffTexts(dialog), QStringList());
            // The seed field stays enabled whatever the box says.
            Check(dialog, "check1037")->setChecked(false);
            QVERIFY(SeedEdit(dialog)->isEnabled());
        });
        window.OnDebugConvert();
        QVERIFY(ran);
        QVERIFY(messages.requests.isEmpty());
    }

    void theNewestSeedShowsSigned_data() {
        QTest::addColumn<int>("newest");
        QTest::addColumn<QString>("shown");
        QTest::newRow("never seeded") << 0 << "0";
        QTest::newRow("negative") << -5 << "-5";
        QTest::newRow("lowest") << int(INT32_MIN) << "-2147483648";
    }
    void theNewestSeedShowsSigned() {
        QFETCH(int, newest);
        QFETCH(QString, shown);
        MessageRecorder messages;
        CMainDlg window;
        gSettings.newestRandomSeed = newest;
        bool ran = false;
        WhenModal<CDebugConvertDlg>(ran, [&](CDebugConvertDlg& dialog) {
            QCOMPARE(NewestSeedText(dialog), shown);
            QCOMPARE(SeedEdit(dialog)->text(), QString("0"));
        });
        window.OnDebugConvert();
        QVERIFY(ran);
    }

    void cancelAndTheCloseBoxChangeNothingAndStartNothing_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("cancel button") << 0;
        QTest::newRow("close box") << 1;
        QTest::newRow("escape") << 2;
    }
    void cancelAndTheCloseBoxChangeNothingAndStartNothing() {
        QFETCH(int, how);
        MessageRecorder messages;
        CMainDlg window;
        Prepare(window);
        gSettings.randomSeed = 77;
        const quillery::Settings before = gSettings;
        bool ran = false;
        WhenModal<CDebugConvertDlg>(ran, [&](CDebugConvertDlg& dialog) {
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
        QVERIFY(ran);
        QVERIFY(!window.runActive());
        QTest::qWait(50);
        QVERIFY(gSettings == before);
        QCOMPARE(window.outputPane()->toPlainText(), kPlaceholder);
        QVERIFY(messages.requests.isEmpty());
    }

    void seedsThatAreNotNumbersInRangeAreRefused_data() {
        QTest::addColumn<QString>("seed");
        QTest::newRow("empty") << "";
        QTest::newRow("negative") << "-1";
        QTest::newRow("letters") << "abc";
        QTest::newRow("digits then letters") << "12x";
        QTest::newRow("leading blank") << " 12";
        QTest::newRow("trailing blank") << "12 ";
        QTest::newRow("plus sign") << "+5";
        QTest::newRow("decimal point") << "1.5";
        QTest::newRow("full-width digits") << "１２";
        QTest::newRow("one above the top") << "4294967296";
        QTest::newRow("far above") << "99999999999999999999";
    }
    void seedsThatAreNotNumbersInRangeAreRefused() {
        QFETCH(QString, seed);
        MessageRecorder messages;
        CMainDlg window;
        Prepare(window);
        gSettings.randomSeed = 9;
        const quillery::Settings before = gSettings;
        bool ran = false;
        WhenModal<CDebugConvertDlg>(ran, [&](CDebugConvertDlg& dialog) {
            dialog.activateWindow();
            Check(dialog, "check1036")->click();
            ReplaceSeed(dialog, seed);
            Button(dialog, "button1")->setFocus();
            QTest::mouseClick(Button(dialog, "button1"), Qt::LeftButton);
            QCOMPARE(messages.texts(), QStringList{kSeedRefused});
            QCOMPARE(messages.requests[0].buttons, MessageButtons::Ok);
            QVERIFY(dialog.isVisible());
            QCOMPARE(dialog.focusWidget(), SeedEdit(dialog));
            QCOMPARE(SeedEdit(dialog)->selectedText(), seed);
            QCOMPARE(SeedEdit(dialog)->text(), seed);
            QCOMPARE(dialog.m_insertMark, before.insertMark);
            QTest::mouseClick(Button(dialog, "button2"), Qt::LeftButton);
        });
        window.OnDebugConvert();
        QVERIFY(ran);
        QVERIFY(!window.runActive());
        QVERIFY(gSettings == before);
        QCOMPARE(window.outputPane()->toPlainText(), kPlaceholder);
    }

    void seedsInRangeRoundTrip_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<uint>("stored");
        QTest::addColumn<QString>("shownAgain");
        QTest::newRow("top") << "4294967295" << 4294967295u << "4294967295";
        QTest::newRow("zero") << "0" << 0u << "0";
        QTest::newRow("leading zeros") << "0007" << 7u << "7";
        QTest::newRow("above int32") << "2147483648" << 2147483648u << "2147483648";
    }
    void seedsInRangeRoundTrip() {
        QFETCH(QString, typed);
        QFETCH(uint, stored);
        QFETCH(QString, shownAgain);
        MessageRecorder messages;
        CMainDlg window;
        Prepare(window);
        bool ran = false;
        WhenModal<CDebugConvertDlg>(ran, [&](CDebugConvertDlg& dialog) {
            ReplaceSeed(dialog, typed);
            Button(dialog, "button1")->click();
        });
        window.OnDebugConvert();
        QVERIFY(ran);
        WaitForRunEnd(window);
        QCOMPARE(gSettings.randomSeed, std::uint32_t(stored));
        WhenModal<CDebugConvertDlg>(
            ran, [&](CDebugConvertDlg& dialog) { QCOMPARE(SeedEdit(dialog)->text(), shownAgain); });
        window.OnDebugConvert();
        QVERIFY(ran);
        QVERIFY(messages.requests.isEmpty());
    }

    void okStoresTheOptionsAndStartsADebugRun() {
        MessageRecorder messages;
        CMainDlg window;
        const QString path = dir_.filePath("x.dat");
        QVERIFY(WriteFile(path, "X\r\n"));
        const QByteArray cp932 = Cp932(path);
        QVERIFY(gSettings.dictionaryPath.Assign(std::string_view(cp932.data(), cp932.size())));
        gSettings.insertRatio = 10;
        window.inputPane()->setPlainText("私は東京に行きました。");
        bool ran = false;
        WhenModal<CDebugConvertDlg>(ran, [&](CDebugConvertDlg& dialog) {
            Check(dialog, "check1036")->click();
            Check(dialog, "check1037")->click();
            ReplaceSeed(dialog, "1");
            Button(dialog, "button1")->click();
        });
        window.OnDebugConvert();
        QVERIFY(ran);
        WaitForRunEnd(window);
        QCOMPARE(gSettings.insertMark, 1);
        QCOMPARE(gSettings.useFixedSeed, 1);
        QCOMPARE(gSettings.randomSeed, 1u);
        QCOMPARE(gSettings.debugRun, 1);
        QCOMPARE(gSettings.newestRandomSeed, 0);  // a fixed seed records nothing
        QCOMPARE(window.outputPane()->toPlainText(), QString("<X>私は<X>東京に<X>行きました。"));
        QVERIFY(messages.requests.isEmpty());
    }

    void okWithBothBoxesClearedSeedsFromTheClock() {
        MessageRecorder messages;
        CMainDlg window;
        Prepare(window);
        gSettings.useFixedSeed = 1;
        gSettings.insertMark = 1;
        const std::int32_t before = static_cast<std::int32_t>(time(nullptr));
        bool ran = false;
        WhenModal<CDebugConvertDlg>(ran, [&](CDebugConvertDlg& dialog) {
            Check(dialog, "check1036")->click();
            Check(dialog, "check1037")->click();
            Button(dialog, "button1")->click();
        });
        window.OnDebugConvert();
        QVERIFY(ran);
        WaitForRunEnd(window);
        QCOMPARE(gSettings.debugRun, 1);
        QCOMPARE(gSettings.useFixedSeed, 0);
        QCOMPARE(gSettings.insertMark, 0);
        QVERIFY(gSettings.newestRandomSeed >= before);
        QVERIFY(!window.outputPane()->toPlainText().contains('<'));
        QVERIFY(window.outputPane()->toPlainText() != kPlaceholder);
    }

    void copyFixAndOkRepeatTheCopiedRun() {
        MessageRecorder messages;
        CMainDlg window;
        Prepare(window);
        window.OnConvert();
        WaitForRunEnd(window);
        const QString normal = window.outputPane()->toPlainText();
        const std::int32_t seed = gSettings.newestRandomSeed;
        QVERIFY(seed > 0);
        QVERIFY(normal != window.inputPane()->toPlainText());

        // Another seed gives another output, so the comparison below can fail.
        gSettings.randomSeed = static_cast<std::uint32_t>(seed) + 1;
        gSettings.useFixedSeed = 1;
        gSettings.debugRun = 1;
        window.StartRun();
        WaitForRunEnd(window);
        QVERIFY(window.outputPane()->toPlainText() != normal);
        gSettings.useFixedSeed = 0;

        bool ran = false;
        WhenModal<CDebugConvertDlg>(ran, [&](CDebugConvertDlg& dialog) {
            QCOMPARE(NewestSeedText(dialog), QString::number(seed));
            Button(dialog, "button1040")->click();
            QCOMPARE(SeedEdit(dialog)->text(), NewestSeedText(dialog));
            QVERIFY(!Check(dialog, "check1037")->isChecked());  // copying ticks nothing
            Check(dialog, "check1037")->click();
            Button(dialog, "button1")->click();
        });
        window.OnDebugConvert();
        QVERIFY(ran);
        WaitForRunEnd(window);
        QCOMPARE(window.outputPane()->toPlainText(), normal);
        QCOMPARE(gSettings.randomSeed, static_cast<std::uint32_t>(seed));
        QCOMPARE(gSettings.newestRandomSeed, seed);

        // With the markers, the same run with "<" and ">" around every insertion point.
        WhenModal<CDebugConvertDlg>(ran, [&](CDebugConvertDlg& dialog) {
            Check(dialog, "check1036")->click();
            Button(dialog, "button1")->click();
        });
        window.OnDebugConvert();
        QVERIFY(ran);
        WaitForRunEnd(window);
        QString marked = window.outputPane()->toPlainText();
        QVERIFY(marked.contains("<>"));
        QVERIFY(marked.contains("<春の>") || marked.contains("<静かな>") ||
                marked.contains("<ふと>") || marked.contains("<遠い>") ||
                marked.contains("<青い>"));
        QCOMPARE(marked.remove('<').remove('>'), normal);
        QVERIFY(messages.requests.isEmpty());
    }

    void aNegativeNewestSeedCopiesAsTheSeedItStandsFor() {
        MessageRecorder messages;
        CMainDlg window;
        Prepare(window);
        gSettings.newestRandomSeed = -5;
        bool ran = false;
        WhenModal<CDebugConvertDlg>(ran, [&](CDebugConvertDlg& dialog) {
            QCOMPARE(NewestSeedText(dialog), QString("-5"));
            Button(dialog, "button1040")->click();
            QCOMPARE(SeedEdit(dialog)->text(), QString("4294967291"));
            Check(dialog, "check1037")->click();
            Button(dialog, "button1")->click();
        });
        window.OnDebugConvert();
        QVERIFY(ran);
        WaitForRunEnd(window);
        QCOMPARE(gSettings.randomSeed, 4294967291u);
        QVERIFY(messages.requests.isEmpty());
    }
};

QTEST_MAIN(DebugConvertDlgTest)
#include "test_debug_convert_dlg.moc"
