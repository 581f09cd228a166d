// Saving either pane through the file commands: the exact bytes written, the save
// chooser, and files that cannot be written.
#include <sys/stat.h>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "DialogTestSupport.h"
#include "WindowTestSupport.h"
#include "settings/Settings.h"
#include "ui/MainDlg.h"
#include "ui/SavePaneText.h"

using namespace quillery;

namespace {

const QString kPlaceholder = QStringLiteral("<<< ここに変換結果が表示されます >>>");
const QString kCannotOpen = QStringLiteral("ファイルが開けません");

}  // namespace

class SavePaneTextTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

  private slots:
    void init() {
        QFile::remove(QCoreApplication::applicationDirPath() + "/QuilleryMini.ini");
        gSettings = quillery::Settings{};
    }

    void theFileHoldsThePanesExactText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << "" << QByteArray();
        QTest::newRow("lines") << "一行目\n二行目\n\n四行目"
                               << Cp932("一行目\r\n二行目\r\n\r\n四行目");
        QTest::newRow("ending with a line break") << "末尾\n" << Cp932("末尾\r\n");
        QTest::newRow("percent signs") << "100% %s %% %d%n" << QByteArray("100% %s %% %d%n");
        QTest::newRow("backslash trail bytes")
            << "表示\\ソ~" << QByteArray("\x95\x5C\x8E\xA6\\\x83\x5C~");
        QTest::newRow("half-width kana, tab, ideographic space")
            << "ｶﾅ\t　全角" << Cp932("ｶﾅ\t　全角");
        QTest::newRow("surrogate pair is one ?") << "𠮷野家" << QByteArray("?") + Cp932("野家");
        QTest::newRow("pair whose low half is U+DC80") << "a💀b" << QByteArray("a?b");
        QTest::newRow("outside the code page") << "雪☃" << Cp932("雪") + "?";
        QTest::newRow("lone escaped-byte unit")
            << QString("x") + QChar(0xDC81) + "y" << QByteArray("x?y");
    }
    void theFileHoldsThePanesExactText() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        MessageRecorder messages;
        FileChooserRecorder choosers;
        CMainDlg window;
        const QString path = dir_.filePath("saved.txt");
        QVERIFY(WriteFile(path, QByteArray(500, 'z')));  // replaced, not appended to
        window.inputPane()->setPlainText(text);
        choosers.answers.push_back(path);
        window.OnSaveInput();
        QCOMPARE(ReadFile(path), bytes);
        QVERIFY(messages.requests.isEmpty());
    }

    void noBreakSpacesAreKept() {
        // QPlainTextEdit::toPlainText would give plain blanks.
        const QString raw = QString("a") + QChar(0x00A0) + "b";
        QCOMPARE(quillery::PaneFileBytes(raw), Cp932(raw).toStdString());
        QVERIFY(quillery::PaneFileBytes(raw) != std::string("a b"));
        QCOMPARE(quillery::PaneFileBytes(QString("1") + QChar::ParagraphSeparator + "2"),
                 std::string("1\r\n2"));
        // A line separator shows as a line break and is saved as one.
        QCOMPARE(quillery::PaneFileBytes(QString("1") + QChar::LineSeparator + "2"),
                 std::string("1\r\n2"));
    }

    void eachCommandSavesItsOwnPane() {
        MessageRecorder messages;
        FileChooserRecorder choosers;
        CMainDlg window;
        window.inputPane()->setPlainText("入力");
        const QString input = dir_.filePath("input.txt");
        const QString output = dir_.filePath("output.txt");
        choosers.answers = {input, output};
        window.OnSaveInput();
        window.OnSaveOutput();
        QCOMPARE(ReadFile(input), Cp932("入力"));
        // Before any conversion the output pane holds the placeholder.
        QCOMPARE(ReadFile(output), Cp932(kPlaceholder));

        QCOMPARE(choosers.requests.size(), 2);
        const quillery::FileChooserRequest& request = choosers.requests[0];
        QCOMPARE(request.kind, quillery::FileChooserKind::Save);
        QCOMPARE(FilterLabels(request), QStringList({"Text Data(*.txt)", "All files(*.*)"}));
        QCOMPARE(request.filters[0].patterns, QStringList{"*.txt"});
        QCOMPARE(request.filters[1].patterns, QStringList{"*"});
        QVERIFY(messages.requests.isEmpty());
    }

    void aReadOnlyOutputPaneCanBeSaved() {
        MessageRecorder messages;
        FileChooserRecorder choosers;
        CMainDlg window;
        gSettings.editReadOnly = 1;
        window.RefreshMenusAndTitle();
        QVERIFY(window.outputPane()->isReadOnly());
        window.outputPane()->setPlainText("読込専用\n二行");
        const QString path = dir_.filePath("readonly.txt");
        choosers.answers.push_back(path);
        window.OnSaveOutput();
        QCOMPARE(ReadFile(path), Cp932("読込専用\r\n二行"));
    }

    void theNameIsTakenAsTheChooserGivesIt() {
        MessageRecorder messages;
        FileChooserRecorder choosers;
        CMainDlg window;
        window.inputPane()->setPlainText("abc");
        const QString path = dir_.filePath("拡張子なし");
        choosers.answers.push_back(path);
        window.OnSaveInput();
        QCOMPARE(ReadFile(path), QByteArray("abc"));
        QVERIFY(!QFile::exists(path + ".txt"));
        // A new file gets the permissions any new file gets, not a private temp's.
        const mode_t mask = umask(0);
        umask(mask);
        struct stat info {};
        QCOMPARE(stat(QFile::encodeName(path).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0666 & ~mask);
    }

    void aCancelledChooserWritesNothing() {
        MessageRecorder messages;
        FileChooserRecorder choosers;
        CMainDlg window;
        QTemporaryDir current;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(current.path()));
        window.inputPane()->setPlainText("abc");
        window.OnSaveInput();
        QVERIFY(QDir::setCurrent(previous));
        QCOMPARE(choosers.requests.size(), 1);
        QCOMPARE(
            QDir(current.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList());
        QVERIFY(messages.requests.isEmpty());
    }

    void aFileThatCannotBeWrittenIsReported_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing folder") << "no/such/folder/file.txt";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("empty name") << "";
    }
    void aFileThatCannotBeWrittenIsReported() {
        QFETCH(QString, name);
        MessageRecorder messages;
        FileChooserRecorder choosers;
        CMainDlg window;
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        window.inputPane()->setPlainText("abc");
        choosers.answers.push_back(name.isEmpty() ? QString() : dir.filePath(name));
        window.OnSaveInput();
        QCOMPARE(messages.texts(), QStringList{kCannotOpen});
        QCOMPARE(messages.requests[0].buttons, MessageButtons::Ok);
        QCOMPARE(messages.requests[0].parent, &window);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{"folder"});
        QVERIFY(QFileInfo(dir.filePath("folder")).isDir());
        QCOMPARE(window.inputPane()->toPlainText(), QString("abc"));
    }

    void theRealChooserAsksBeforeOverwritingAndKeepsATypedSuffix() {
        FileChooserRecorder choosers;
        CMainDlg window;
        window.OnSaveOutput();
        QCOMPARE(choosers.requests.size(), 1);
        const std::unique_ptr<QFileDialog> chooser =
            quillery::MakeFileChooser(choosers.requests[0]);
        QCOMPARE(chooser->acceptMode(), QFileDialog::AcceptSave);
        QVERIFY(!chooser->testOption(QFileDialog::DontConfirmOverwrite));
        QVERIFY(chooser->parentWidget() == nullptr);
        auto* types = chooser->findChild<QComboBox*>("fileTypeCombo");
        QVERIFY(types != nullptr);
        QCOMPARE(types->count(), 2);
        QCOMPARE(types->itemText(0), QString("Text Data(*.txt)"));
        QCOMPARE(types->itemText(1), QString("All files(*.*)"));
        QCOMPARE(chooser->defaultSuffix(), QString("txt"));

        chooser->setDirectory(dir_.path());
        auto* name = chooser->findChild<QLineEdit*>("fileNameEdit");
        QVERIFY(name != nullptr);
        name->setText("notes.md");
        chooser->selectNameFilter("All files(*.*)");
        QCOMPARE(name->text(), QString("notes.md"));
        QCOMPARE(chooser->defaultSuffix(), QString());
        chooser->selectNameFilter("Text Data(*.txt)");
        QCOMPARE(chooser->defaultSuffix(), QString("txt"));
    }
};

QTEST_MAIN(SavePaneTextTest)
#include "test_save_pane_text.moc"
