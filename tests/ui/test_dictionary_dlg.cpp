// The dictionary file dialog through the dictionary command: what OK, Cancel and the
// close box change, the file chooser, and names that dictionaryPath cannot hold.
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>

#include "DialogTestSupport.h"
#include "WindowTestSupport.h"
#include "ui/DialogFont.h"
#include "ui/DictionaryDlg.h"

using namespace quillery;

namespace {

const QString kRefusedCharacters = QStringLiteral(
    "辞書ファイル名に使えない文字です。\r\n"
    "シフトJIS（コードページ932）で表せない文字と改行は使えません。");
const QString kUnusableChosenName = QStringLiteral(
    "このファイルは辞書ファイルに設定できません。\r\n"
    "ファイル名にシフトJIS（コードページ932）で表せない文字が含まれています。");

QLineEdit* Edit(CDictionaryDlg& dialog) {
    return dialog.findChild<QLineEdit*>("edit1029");
}
QPushButton* Button(CDictionaryDlg& dialog, const char* name) {
    return dialog.findChild<QPushButton*>(name);
}

QByteArray PathBytes() {
    const std::string& bytes = gSettings.dictionaryPath.Bytes();
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

class DictionaryDlgTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

  private slots:
    void initTestCase() { InstallDialogFontSubstitutions(); }
    void init() { ResetSettings(); }

    void opensWithTheTemplatesTextsGeometryAndTabOrder() {
        MessageRecorder messages;
        CMainDlg window;
        QVERIFY(SetDictionaryPath("C:\\dic\\古い辞書.dat"));
        const auto ran = WhenModal<CDictionaryDlg>([](CDictionaryDlg& dialog) {
            QCOMPARE(dialog.windowTitle(), QString("辞書の選択"));
            QCOMPARE(dialog.font().family(), DialogFont().family());
            QCOMPARE(dialog.font().pointSize(), 9);
            const DialogUnits units(dialog.font());
            QCOMPARE(dialog.size(), units.Size(267, 103));
            QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
            QVERIFY(dialog.parentWidget() == nullptr);
            QCOMPARE(Edit(dialog)->text(), QString("C:\\dic\\古い辞書.dat"));
            const struct {
                const char* name;
                QString text;
                QRect rect;
            } controls[] = {{"button1", "OK", units.Rect(149, 82, 50, 14)},
                            {"button2", "ｷｬﾝｾﾙ", units.Rect(210, 82, 50, 14)},
                            {"button1030", "...", units.Rect(244, 20, 12, 12)}};
            for (const auto& control : controls) {
                QCOMPARE(Button(dialog, control.name)->text(), control.text);
                QCOMPARE(Button(dialog, control.name)->geometry(), control.rect);
            }
            QVERIFY(Button(dialog, "button1")->isDefault());
            QCOMPARE(Edit(dialog)->geometry(), units.Rect(7, 20, 233, 12));
            auto* explanation = dialog.findChild<QLabel*>("static1031");
            QCOMPARE(explanation->text(),
                     QString("辞書ファイルとは、文章に挿入するキーワードを羅列したファイルです。\n"
                             "この辞書ファイルのキーワードを使って、入力した文章を変換します。\n"
                             "ファイル名は直接入力するか、横の[...]ボタンを押して選択します。"));
            QCOMPARE(explanation->geometry(), units.Rect(7, 39, 250, 35));
            QVERIFY(explanation->alignment() & Qt::AlignHCenter);
            QCOMPARE(explanation->frameShadow(), QFrame::Sunken);
            QVERIFY(LabelTexts(dialog).contains("辞書ファイル名"));
            // Every text shows whole in the program's dialog font.
            QCOMPARE(CutOffTexts(dialog), QStringList());
            QCOMPARE(TabOrder(Button(dialog, "button1")),
                     QStringList({"button1", "button2", "edit1029", "button1030"}));
        });
        window.OnDictionary();
        QVERIFY(*ran);
        QVERIFY(messages.requests.isEmpty());
    }

    void okCopiesTheEditBackAndRewritesTheTitle() {
        MessageRecorder messages;
        CMainDlg window;
        // Bytes that are not code page 932 come back unchanged from an OK without an edit.
        const QByteArray odd("C:\\\x81\x20x\\\xFF\xA0.dat");
        QVERIFY(gSettings.dictionaryPath.Assign(std::string_view(odd.data(), odd.size())));
        window.setWindowTitle("stale");
        auto ran = WhenModal<CDictionaryDlg>([](CDictionaryDlg& dialog) {
            QTest::keyClick(Button(dialog, "button1"), Qt::Key_Space);
        });
        window.OnDictionary();
        QVERIFY(*ran);
        QCOMPARE(PathBytes(), odd);
        QVERIFY(window.windowTitle().startsWith("Quillery - 40% "));

        const std::pair<QString, QString> rows[] = {
            {"D:\\data\\words.txt", "Quillery - 40% words.txt"},
            {"C:\\表\\ソース.dat", "Quillery - 40% ソース.dat"},
            {"", "Quillery - 40% "},
            {"  spaced .dat ", "Quillery - 40%   spaced .dat "}};
        for (const auto& [typed, title] : rows) {
            ran = WhenModal<CDictionaryDlg>([&typed](CDictionaryDlg& dialog) {
                Edit(dialog)->selectAll();
                QTest::keyClick(Edit(dialog), Qt::Key_Delete);
                Edit(dialog)->insert(typed);
                QCOMPARE(Edit(dialog)->text(), typed);
                QTest::mouseClick(Button(dialog, "button1"), Qt::LeftButton);
                QVERIFY(!dialog.isVisible());
            });
            window.OnDictionary();
            QVERIFY(*ran);
            QCOMPARE(PathBytes(), Cp932(typed));
            QCOMPARE(window.windowTitle(), title);
        }
        QVERIFY(messages.requests.isEmpty());
    }

    void cancelTheCloseBoxAndEscapeChangeNothing() {
        MessageRecorder messages;
        FileChooserRecorder choosers;
        CMainDlg window;
        QVERIFY(SetDictionaryPath("keep.dat"));
        window.setWindowTitle("untouched");
        const QString picked = dir_.filePath("picked.dat");
        QVERIFY(WriteFile(picked, "X"));
        for (int how = 0; how < 3; ++how) {
            choosers.answers.push_back(picked);
            const auto ran = WhenModal<CDictionaryDlg>([&](CDictionaryDlg& dialog) {
                QTest::mouseClick(Button(dialog, "button1030"), Qt::LeftButton);
                QCOMPARE(Edit(dialog)->text(), picked);
                if (how == 0) {
                    QTest::mouseClick(Button(dialog, "button2"), Qt::LeftButton);
                } else if (how == 1) {
                    dialog.close();
                } else {
                    QTest::keyClick(Edit(dialog), Qt::Key_Escape);
                }
                QVERIFY(!dialog.isVisible());
                QCOMPARE(dialog.result(), int(QDialog::Rejected));
            });
            window.OnDictionary();
            QVERIFY(*ran);
            QCOMPARE(PathBytes(), QByteArray("keep.dat"));
            QCOMPARE(window.windowTitle(), QString("untouched"));
        }
    }

    void browseReplacesTypedTextAndACancelledChooserKeepsIt() {
        MessageRecorder messages;
        FileChooserRecorder choosers;
        CMainDlg window;
        const QString picked = dir_.filePath("日本語の辞書.dat");
        QVERIFY(WriteFile(picked, "X"));
        choosers.answers = {std::nullopt, picked};
        const auto ran = WhenModal<CDictionaryDlg>([&](CDictionaryDlg& dialog) {
            QTest::keyClicks(Edit(dialog), "typed.dat");
            Button(dialog, "button1030")->click();
            QCOMPARE(Edit(dialog)->text(), QString("typed.dat"));
            Button(dialog, "button1030")->click();
            QCOMPARE(Edit(dialog)->text(), picked);
            Button(dialog, "button1")->click();
        });
        window.OnDictionary();
        QVERIFY(*ran);
        QCOMPARE(PathBytes(), Cp932(picked));
        QCOMPARE(window.windowTitle(), QString("Quillery - 40% 日本語の辞書.dat"));
        QCOMPARE(choosers.requests.size(), 2);
        QCOMPARE(choosers.requests[0].kind, FileChooserKind::Open);
        QCOMPARE(FilterLabels(choosers.requests[0]),
                 QStringList({"Dictionary Data(*.dat)=*.dat", "All files(*.*)=*"}));
        QVERIFY(messages.requests.isEmpty());
    }

    void chosenNamesThatCannotBeHeldAreRefused() {
        MessageRecorder messages;
        FileChooserRecorder choosers;
        CMainDlg window;
        QVERIFY(SetDictionaryPath("keep.dat"));
        const std::pair<QString, QString> rows[] = {
            {"雪☃.dat", kUnusableChosenName},
            {"a〜b.dat", kUnusableChosenName},  // only a look-alike in the code page
            {"a\nb.dat", kUnusableChosenName},
            {QString(130, QChar(u'辞')) + ".dat",
             "このファイルは辞書ファイルに設定できません。\r\n"
             "ファイル名がシフトJISで255バイトを超えています。"}};
        for (const auto& [name, message] : rows) {
            messages.requests.clear();
            choosers.answers.push_back("/" + name);
            const auto ran = WhenModal<CDictionaryDlg>([&](CDictionaryDlg& dialog) {
                Button(dialog, "button1030")->click();
                QCOMPARE(messages.texts(), QStringList{message});
                QCOMPARE(Edit(dialog)->text(), QString("keep.dat"));
                QVERIFY(dialog.isVisible());
                Button(dialog, "button1")->click();
            });
            window.OnDictionary();
            QVERIFY(*ran);
            QCOMPARE(PathBytes(), QByteArray("keep.dat"));
        }
    }

    void theEditHoldsAt255Bytes() {
        MessageRecorder messages;
        CMainDlg window;
        const QString middle = "[" + QString(126, QChar(u'語')) + "]";
        const auto ran = WhenModal<CDictionaryDlg>([&](CDictionaryDlg& dialog) {
            QLineEdit* edit = Edit(dialog);
            edit->setFocus();
            edit->insert(QString(300, QChar('a')));
            QCOMPARE(edit->text(), QString(255, QChar('a')));
            QTest::keyClick(edit, Qt::Key_B);
            QCOMPARE(edit->text(), QString(255, QChar('a')));
            // A double-byte character needs two bytes where one is left.
            edit->setText(QString(254, QChar('a')));
            edit->end(false);
            edit->insert("表");
            QCOMPARE(edit->text(), QString(254, QChar('a')));
            edit->insert("b");
            QCOMPARE(Cp932(edit->text()).size(), 255);
            // A long paste into the middle keeps what follows the cursor.
            edit->setText("[]");
            edit->setCursorPosition(1);
            edit->insert(QString(200, QChar(u'語')));
            QCOMPARE(edit->text(), middle);
            QCOMPARE(edit->cursorPosition(), 127);
            Button(dialog, "button1")->click();
        });
        window.OnDictionary();
        QVERIFY(*ran);
        QCOMPARE(PathBytes(), Cp932(middle));
        QVERIFY(messages.requests.isEmpty());
    }

    void theEditRefusesWhatCodePage932CannotHold() {
        MessageRecorder messages;
        CMainDlg window;
        QVERIFY(SetDictionaryPath("before.dat"));
        const auto ran = WhenModal<CDictionaryDlg>([&](CDictionaryDlg& dialog) {
            QLineEdit* edit = Edit(dialog);
            edit->end(false);
            int refusals = 0;
            for (const QString& pasted : {QString("x𠮷"), QString("☃"), QString("〜"),
                                          QString("a\nb"), QString(QChar(0xD842))}) {
                edit->insert(pasted);
                QCOMPARE(edit->text(), QString("before.dat"));
                ++refusals;
                QTRY_COMPARE(messages.requests.size(), refusals);
            }
            QCOMPARE(messages.texts(), QStringList(refusals, kRefusedCharacters));
            QCOMPARE(messages.requests[0].buttons, MessageButtons::Ok);
            // What the code page holds still goes in, the full-width tilde among it.
            edit->insert("～ｶﾅ");
            QCOMPARE(edit->text(), QString("before.dat～ｶﾅ"));
            Button(dialog, "button1")->click();
        });
        window.OnDictionary();
        QVERIFY(*ran);
        QCOMPARE(PathBytes(), Cp932("before.dat～ｶﾅ"));
        QCOMPARE(messages.requests.size(), 5);
    }

    void theRealChooserTakesExistingFilesAndListsEveryFileUnderAllFiles() {
        FileChooserRecorder choosers;
        CMainDlg window;
        const auto ran = WhenModal<CDictionaryDlg>(
            [](CDictionaryDlg& dialog) { Button(dialog, "button1030")->click(); });
        window.OnDictionary();
        QVERIFY(*ran);
        QCOMPARE(choosers.requests.size(), 1);
        QTemporaryDir folder;
        for (const char* name : {"words.dat", "WORDS2.DAT", "notes", "other.txt"}) {
            QVERIFY(WriteFile(folder.filePath(name), "X"));
        }
        const std::unique_ptr<QFileDialog> chooser = MakeFileChooser(choosers.requests[0]);
        QCOMPARE(chooser->acceptMode(), QFileDialog::AcceptOpen);
        QCOMPARE(chooser->fileMode(), QFileDialog::ExistingFile);
        QVERIFY(chooser->parentWidget() == nullptr);
        chooser->setDirectory(folder.path());
        auto* types = chooser->findChild<QComboBox*>("fileTypeCombo");
        QVERIFY(types != nullptr);
        QCOMPARE(types->count(), 2);
        QCOMPARE(types->itemText(0), QString("Dictionary Data(*.dat)"));
        QCOMPARE(types->itemText(1), QString("All files(*.*)"));
        QCOMPARE(types->currentIndex(), 0);
        auto* model = chooser->findChild<QFileSystemModel*>();
        QVERIFY(model != nullptr);
        const auto listed = [&] {
            QStringList names;
            const QModelIndex root = model->index(folder.path());
            for (int row = 0; row < model->rowCount(root); ++row) {
                names << model->index(row, 0, root).data().toString();
            }
            names.sort();
            return names;
        };
        QTRY_COMPARE(listed(), QStringList({"WORDS2.DAT", "words.dat"}));
        chooser->selectNameFilter("All files(*.*)");
        QCOMPARE(types->currentIndex(), 1);
        QTRY_COMPARE(listed(), QStringList({"WORDS2.DAT", "notes", "other.txt", "words.dat"}));
    }
};

QTEST_MAIN(DictionaryDlgTest)
#include "test_dictionary_dlg.moc"
