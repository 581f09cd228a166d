// Saving either pane through the file commands: the exact bytes written, the save
// chooser, and files that cannot be written.
#include <sys/stat.h>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "DialogTestSupport.h"
#include "WindowTestSupport.h"

using namespace quillery;

class SavePaneTextTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

  private slots:
    void init() { ResetSettings(); }

    void theFileHoldsThePanesExactText() {
        MessageRecorder messages;
        FileChooserRecorder choosers;
        CMainDlg window;
        const QString path = dir_.filePath("saved.txt");
        const std::pair<QString, QByteArray> rows[] = {
            {"", ""},
            {"一行目\n二行目\n\n四行目", Cp932("一行目\r\n二行目\r\n\r\n四行目")},
            {"末尾\n", Cp932("末尾\r\n")},
            {"100% %s %% %d%n", "100% %s %% %d%n"},
            {"表示\\ソ~", "\x95\x5C\x8E\xA6\\\x83\x5C~"},
            {"ｶﾅ\t　全角", Cp932("ｶﾅ\t　全角")},
            {"a\u00A0b", Cp932("a\u00A0b")},  // toPlainText would give a plain blank
            {"1\u20282", "1\r\n2"},           // a line separator shows as a line break
            {"𠮷野家", "?" + Cp932("野家")},
            {"a💀b", "a?b"},  // a pair whose low half is U+DC80
            {"雪☃", Cp932("雪") + "?"},
            {QString("x") + QChar(0xDC81) + "y", "x?y"},  // a lone escaped-byte unit
        };
        for (const auto& [text, bytes] : rows) {
            QVERIFY(WriteFile(path, QByteArray(500, 'z')));  // replaced, not appended to
            window.inputPane()->setPlainText(text);
            choosers.answers.push_back(path);
            window.OnSaveInput();
            QCOMPARE(ReadFile(path), bytes);
        }
        QVERIFY(messages.requests.isEmpty());
    }

    void eachCommandSavesItsOwnPaneAReadOnlyOneToo() {
        MessageRecorder messages;
        FileChooserRecorder choosers;
        CMainDlg window;
        gSettings.editReadOnly = 1;
        window.RefreshMenusAndTitle();
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
        QCOMPARE(choosers.requests[1].kind, FileChooserKind::Save);
        QCOMPARE(FilterLabels(choosers.requests[1]),
                 QStringList({"Text Data(*.txt)=*.txt", "All files(*.*)=*"}));
        QVERIFY(messages.requests.isEmpty());
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
        QVERIFY(
            QDir(current.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
        QVERIFY(messages.requests.isEmpty());
    }

    void aFileThatCannotBeWrittenIsReported() {
        MessageRecorder messages;
        FileChooserRecorder choosers;
        CMainDlg window;
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        window.inputPane()->setPlainText("abc");
        for (const QString& path :
             {dir.filePath("no/such/folder/file.txt"), dir.filePath("folder"), QString()}) {
            messages.requests.clear();
            choosers.answers.push_back(path);
            window.OnSaveInput();
            QCOMPARE(messages.texts(), QStringList{"ファイルが開けません"});
            QCOMPARE(messages.requests[0].buttons, MessageButtons::Ok);
            QCOMPARE(messages.requests[0].parent, &window);
            QCOMPARE(
                QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                QStringList{"folder"});
            QVERIFY(QFileInfo(dir.filePath("folder")).isDir());
        }
        QCOMPARE(window.inputPane()->toPlainText(), QString("abc"));
    }

    void theRealChooserAsksBeforeOverwritingAndKeepsATypedSuffix() {
        FileChooserRecorder choosers;
        CMainDlg window;
        window.OnSaveOutput();
        QCOMPARE(choosers.requests.size(), 1);
        const std::unique_ptr<QFileDialog> chooser = MakeFileChooser(choosers.requests[0]);
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
