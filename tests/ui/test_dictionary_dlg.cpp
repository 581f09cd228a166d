// The dictionary file dialog through the dictionary command: what OK, Cancel and the
// close box change, the file chooser, and names that dictionaryPath cannot hold.
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "DialogTestSupport.h"
#include "WindowTestSupport.h"
#include "settings/Settings.h"
#include "ui/DialogFont.h"
#include "ui/DictionaryDlg.h"
#include "ui/MainDlg.h"

using namespace quillery;

using quillery::CDictionaryDlg;

namespace {

const QString kRefusedCharacters = QStringLiteral(
    "辞書ファイル名に使えない文字です。\r\n"
    "シフトJIS（コードページ932）で表せない文字と改行は使えません。");
const QString kUnusableChosenName = QStringLiteral(
    "このファイルは辞書ファイルに設定できません。\r\n"
    "ファイル名にシフトJIS（コードページ932）で表せない文字が含まれています。");
const QString kChosenNameTooLong = QStringLiteral(
    "このファイルは辞書ファイルに設定できません。\r\n"
    "ファイル名がシフトJISで255バイトを超えています。");

QLineEdit* Edit(CDictionaryDlg& dialog) {
    return dialog.findChild<QLineEdit*>("edit1029");
}
QPushButton* Button(CDictionaryDlg& dialog, const char* name) {
    return dialog.findChild<QPushButton*>(name);
}

void SetPath(const QByteArray& cp932) {
    QVERIFY(gSettings.dictionaryPath.Assign(std::string_view(cp932.data(), cp932.size())));
}

QByteArray PathBytes() {
    const std::string& bytes = gSettings.dictionaryPath.Bytes();
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Types into the edit as a paste or a drop would put text in: at the cursor, replacing
// the selection, through the edit's own rules.
void Paste(QLineEdit* edit, const QString& text) {
    edit->insert(text);
}

}  // namespace

class DictionaryDlgTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

  private slots:
    void initTestCase() { InstallDialogFontSubstitutions(); }

    void init() {
        QFile::remove(QCoreApplication::applicationDirPath() + "/QuilleryMini.ini");
        QFile::remove(QCoreApplication::applicationDirPath() + "/velmo.dat");
        gSettings = quillery::Settings{};
    }

    void opensWithTheTemplatesTextsGeometryAndTabOrder() {
        MessageRecorder messages;
        CMainDlg window;
        SetPath(Cp932("C:\\dic\\古い辞書.dat"));
        bool ran = false;
        WhenModal<CDictionaryDlg>(ran, [](CDictionaryDlg& dialog) {
            QCOMPARE(dialog.windowTitle(), QString("辞書の選択"));
            QCOMPARE(dialog.font().family(), DialogFont().family());
            QCOMPARE(dialog.font().pointSize(), 9);
            const DialogUnits units(dialog.font());
            QCOMPARE(dialog.size(), units.Size(267, 103));
            QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
            QVERIFY(dialog.parentWidget() == nullptr);

            QCOMPARE(Edit(dialog)->text(), QString("C:\\dic\\古い辞書.dat"));
            QCOMPARE(Edit(dialog)->geometry(), units.Rect(7, 20, 233, 12));
            QCOMPARE(Button(dialog, "button1")->text(), QString("OK"));
            QVERIFY(Button(dialog, "button1")->isDefault());
            QCOMPARE(Button(dialog, "button1")->geometry(), units.Rect(149, 82, 50, 14));
            QCOMPARE(Button(dialog, "button2")->text(), QString("ｷｬﾝｾﾙ"));
            QCOMPARE(Button(dialog, "button2")->geometry(), units.Rect(210, 82, 50, 14));
            QCOMPARE(Button(dialog, "button1030")->text(), QString("..."));
            QCOMPARE(Button(dialog, "button1030")->geometry(), units.Rect(244, 20, 12, 12));

            auto* explanation = dialog.findChild<QLabel*>("static1031");
            QCOMPARE(explanation->text(),
                     QString("辞書ファイルとは、文章に挿入するキーワードを羅列したファイルです。\n"
                             "この辞書ファイルのキーワードを使って、入力した文章を変換します。\n"
                             "ファイル名は直接入力するか、横の[...]ボタンを押して選択します。"));
            QCOMPARE(explanation->geometry(), units.Rect(7, 39, 250, 35));
            QVERIFY(explanation->alignment() & Qt::AlignHCenter);
            QCOMPARE(explanation->frameShadow(), QFrame::Sunken);
            QStringList labels;
            for (const QLabel* label : dialog.findChildren<QLabel*>()) {
                labels << label->text();
            }
            QVERIFY(labels.contains("辞書ファイル名"));

            // Every text shows whole in the program's dialog font.
            QCOMPARE(CutOffTexts(dialog), QStringList());
            QCOMPARE(ObjectNames(TabOrder(Button(dialog, "button1"))),
                     QStringList({"button1", "button2", "edit1029", "button1030"}));
        });
        window.OnDictionary();
        QVERIFY(ran);
        QVERIFY(messages.requests.isEmpty());
    }

    void okCopiesTheEditAndRewritesTheTitle_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("title");
        QTest::newRow("drive path") << "D:\\data\\words.txt"
                                    << "Quillery - 40% words.txt";
        QTest::newRow("trail byte 0x5C") << "C:\\表\\ソース.dat"
                                         << "Quillery - 40% ソース.dat";
        QTest::newRow("empty") << ""
                               << "Quillery - 40% ";
        QTest::newRow("blanks kept") << "  spaced .dat "
                                     << "Quillery - 40%   spaced .dat ";
    }
    void okCopiesTheEditAndRewritesTheTitle() {
        QFETCH(QString, typed);
        QFETCH(QString, title);
        MessageRecorder messages;
        CMainDlg window;
        gSettings.insertRatio = 4;
        SetPath("old.dat");
        window.RefreshMenusAndTitle();
        bool ran = false;
        WhenModal<CDictionaryDlg>(ran, [&](CDictionaryDlg& dialog) {
            Edit(dialog)->selectAll();
            QTest::keyClick(Edit(dialog), Qt::Key_Delete);
            Paste(Edit(dialog), typed);
            QCOMPARE(Edit(dialog)->text(), typed);
            QTest::mouseClick(Button(dialog, "button1"), Qt::LeftButton);
            QVERIFY(!dialog.isVisible());
        });
        window.OnDictionary();
        QVERIFY(ran);
        QCOMPARE(PathBytes(), Cp932(typed));
        QCOMPARE(window.windowTitle(), title);
        QVERIFY(messages.requests.isEmpty());
    }

    void okWithoutChangeKeepsTheBytesAndStillRewritesTheTitle_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("plain") << Cp932("C:\\辞書\\words.dat");
        QTest::newRow("not code page 932") << QByteArray("C:\\\x81\x20x\\\xFF\xA0.dat");
    }
    void okWithoutChangeKeepsTheBytesAndStillRewritesTheTitle() {
        QFETCH(QByteArray, bytes);
        MessageRecorder messages;
        CMainDlg window;
        SetPath(bytes);
        window.setWindowTitle("stale");
        bool ran = false;
        WhenModal<CDictionaryDlg>(ran, [](CDictionaryDlg& dialog) {
            QTest::keyClick(Button(dialog, "button1"), Qt::Key_Space);
        });
        window.OnDictionary();
        QVERIFY(ran);
        QCOMPARE(PathBytes(), bytes);
        QVERIFY(window.windowTitle().startsWith("Quillery - 40% "));
        QVERIFY(messages.requests.isEmpty());
    }

    void cancelAndTheCloseBoxChangeNothing_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("cancel button") << 0;
        QTest::newRow("close box") << 1;
        QTest::newRow("escape") << 2;
    }
    void cancelAndTheCloseBoxChangeNothing() {
        QFETCH(int, how);
        MessageRecorder messages;
        FileChooserRecorder choosers;
        CMainDlg window;
        SetPath("keep.dat");
        window.setWindowTitle("untouched");
        const QString picked = dir_.filePath("picked.dat");
        QVERIFY(WriteFile(picked, "X"));
        choosers.answers.push_back(picked);
        bool ran = false;
        WhenModal<CDictionaryDlg>(ran, [&](CDictionaryDlg& dialog) {
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
        QVERIFY(ran);
        QCOMPARE(PathBytes(), QByteArray("keep.dat"));
        QCOMPARE(window.windowTitle(), QString("untouched"));
    }

    void browseReplacesTypedTextAndACancelledChooserKeepsIt() {
        MessageRecorder messages;
        FileChooserRecorder choosers;
        CMainDlg window;
        const QString picked = dir_.filePath("日本語の辞書.dat");
        QVERIFY(WriteFile(picked, "X"));
        choosers.answers = {std::nullopt, picked};
        bool ran = false;
        WhenModal<CDictionaryDlg>(ran, [&](CDictionaryDlg& dialog) {
            QTest::keyClicks(Edit(dialog), "typed.dat");
            Button(dialog, "button1030")->click();
            QCOMPARE(Edit(dialog)->text(), QString("typed.dat"));
            Button(dialog, "button1030")->click();
            QCOMPARE(Edit(dialog)->text(), picked);
            QCOMPARE(dialog.findChild<QLabel*>("static1031")->text().count('\n'), 2);
            Button(dialog, "button1")->click();
        });
        window.OnDictionary();
        QVERIFY(ran);
        QCOMPARE(PathBytes(), Cp932(picked));
        QCOMPARE(window.windowTitle(), QString("Quillery - 40% 日本語の辞書.dat"));

        QCOMPARE(choosers.requests.size(), 2);
        const quillery::FileChooserRequest& request = choosers.requests[0];
        QCOMPARE(request.kind, quillery::FileChooserKind::Open);
        QCOMPARE(FilterLabels(request), QStringList({"Dictionary Data(*.dat)", "All files(*.*)"}));
        QCOMPARE(request.filters[0].patterns, QStringList{"*.dat"});
        QCOMPARE(request.filters[1].patterns, QStringList{"*"});
        QVERIFY(messages.requests.isEmpty());
    }

    void chosenNamesThatCannotBeHeldAreRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("outside the code page") << "雪☃.dat" << kUnusableChosenName;
        QTest::newRow("surrogate pair") << "𠮷野家.dat" << kUnusableChosenName;
        QTest::newRow("look-alike wave dash") << "a〜b.dat" << kUnusableChosenName;
        QTest::newRow("line feed") << "a\nb.dat" << kUnusableChosenName;
        QTest::newRow("over 255 bytes")
            << QString(130, QChar(u'辞')) + ".dat" << kChosenNameTooLong;
    }
    void chosenNamesThatCannotBeHeldAreRefused() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        MessageRecorder messages;
        FileChooserRecorder choosers;
        CMainDlg window;
        SetPath("keep.dat");
        choosers.answers.push_back("/" + name);
        bool ran = false;
        WhenModal<CDictionaryDlg>(ran, [&](CDictionaryDlg& dialog) {
            Button(dialog, "button1030")->click();
            QCOMPARE(messages.texts(), QStringList{message});
            QCOMPARE(Edit(dialog)->text(), QString("keep.dat"));
            QVERIFY(dialog.isVisible());
            Button(dialog, "button1")->click();
        });
        window.OnDictionary();
        QVERIFY(ran);
        QCOMPARE(PathBytes(), QByteArray("keep.dat"));
    }

    void theEditHoldsAt255Bytes() {
        MessageRecorder messages;
        CMainDlg window;
        bool ran = false;
        WhenModal<CDictionaryDlg>(ran, [&](CDictionaryDlg& dialog) {
            QLineEdit* edit = Edit(dialog);
            edit->setFocus();
            Paste(edit, QString(300, QChar('a')));
            QCOMPARE(edit->text(), QString(255, QChar('a')));
            QTest::keyClick(edit, Qt::Key_B);
            QCOMPARE(edit->text(), QString(255, QChar('a')));

            // A double-byte character needs two bytes where one is left.
            edit->setText(QString(254, QChar('a')));
            edit->end(false);
            Paste(edit, "表");
            QCOMPARE(edit->text(), QString(254, QChar('a')));
            Paste(edit, "b");
            QCOMPARE(Cp932(edit->text()).size(), 255);

            // A long paste into the middle keeps what follows the cursor.
            edit->setText("[]");
            edit->setCursorPosition(1);
            Paste(edit, QString(200, QChar(u'語')));
            QCOMPARE(edit->text(), "[" + QString(126, QChar(u'語')) + "]");
            QCOMPARE(edit->cursorPosition(), 127);
            QVERIFY(Cp932(edit->text()).size() <= 255);
            Button(dialog, "button1")->click();
        });
        window.OnDictionary();
        QVERIFY(ran);
        QCOMPARE(PathBytes(), Cp932("[" + QString(126, QChar(u'語')) + "]"));
        QVERIFY(messages.requests.isEmpty());
    }

    void theEditRefusesWhatCodePage932CannotHold_data() {
        QTest::addColumn<QString>("pasted");
        QTest::newRow("surrogate pair") << "x𠮷";
        QTest::newRow("snowman") << "☃";
        QTest::newRow("wave dash look-alike") << "〜";
        QTest::newRow("line feed") << "a\nb";
        QTest::newRow("lone surrogate") << QString(QChar(0xD842));
    }
    void theEditRefusesWhatCodePage932CannotHold() {
        QFETCH(QString, pasted);
        MessageRecorder messages;
        CMainDlg window;
        SetPath("before.dat");
        bool ran = false;
        WhenModal<CDictionaryDlg>(ran, [&](CDictionaryDlg& dialog) {
            QLineEdit* edit = Edit(dialog);
            edit->end(false);
            Paste(edit, pasted);
            QCOMPARE(edit->text(), QString("before.dat"));
            QTRY_COMPARE(messages.texts(), QStringList{kRefusedCharacters});
            QCOMPARE(messages.requests[0].buttons, MessageButtons::Ok);
            // What the code page holds still goes in, the full-width tilde among it.
            Paste(edit, "～ｶﾅ");
            QCOMPARE(edit->text(), QString("before.dat～ｶﾅ"));
            Button(dialog, "button1")->click();
        });
        window.OnDictionary();
        QVERIFY(ran);
        QCOMPARE(PathBytes(), Cp932("before.dat～ｶﾅ"));
        QCOMPARE(messages.requests.size(), 1);
    }

    void theRealChooserListsEveryFileUnderAllFiles() {
        FileChooserRecorder choosers;
        CMainDlg window;
        bool ran = false;
        WhenModal<CDictionaryDlg>(
            ran, [&](CDictionaryDlg& dialog) { Button(dialog, "button1030")->click(); });
        window.OnDictionary();
        QVERIFY(ran);
        QCOMPARE(choosers.requests.size(), 1);

        QTemporaryDir folder;
        for (const char* name : {"words.dat", "WORDS2.DAT", "notes", "other.txt"}) {
            QVERIFY(WriteFile(folder.filePath(name), "X"));
        }
        const std::unique_ptr<QFileDialog> chooser =
            quillery::MakeFileChooser(choosers.requests[0]);
        QCOMPARE(chooser->acceptMode(), QFileDialog::AcceptOpen);
        QCOMPARE(chooser->fileMode(), QFileDialog::ExistingFile);
        QVERIFY(chooser->parentWidget() == nullptr);
        chooser->setDirectory(folder.path());
        auto* types = chooser->findChild<QComboBox*>("fileTypeCombo");
        QVERIFY(types != nullptr);
        QStringList shown;
        for (int i = 0; i < types->count(); ++i) {
            shown << types->itemText(i);
        }
        QCOMPARE(shown, QStringList({"Dictionary Data(*.dat)", "All files(*.*)"}));
        QCOMPARE(types->currentIndex(), 0);
        QCOMPARE(chooser->defaultSuffix(), QString("dat"));

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
        QCOMPARE(chooser->defaultSuffix(), QString());
    }
};

QTEST_MAIN(DictionaryDlgTest)
#include "test_dictionary_dlg.moc"
