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
    FileChooserRecorder choosers_;
    std::optional<MessageRecorder> messages_;
    std::optional<CMainDlg> window_;

    // Saves the input pane holding `text` under the name the chooser gives.
    void SaveInput(const QString& text, const QString& path) {
        window_->inputPane()->setPlainText(text);
        choosers_.answers = {path};
        window_->OnSaveInput();
    }

  private slots:
    void init() {
        choosers_.requests.clear();
        Renew(messages_, window_);
    }
    void cleanup() { window_.reset(); }

    void theFileHoldsThePanesExactText() {
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
            SaveInput(text, path);
            QCOMPARE(ReadFile(path), bytes);
        }
        // Before any conversion the output pane holds the placeholder; read-only, it saves.
        gSettings.editReadOnly = 1;
        window_->RefreshMenusAndTitle();
        choosers_.answers = {path};
        window_->OnSaveOutput();
        QCOMPARE(ReadFile(path), Cp932(kPlaceholder));
        QCOMPARE(choosers_.requests.last().kind, FileChooserKind::Save);
        QCOMPARE(FilterLabels(choosers_.requests.last()),
                 QStringList({"Text Data(*.txt)=*.txt", "All files(*.*)=*"}));
        QVERIFY(messages_->requests.isEmpty());
    }

    void theNameIsTakenAsTheChooserGivesIt() {
        const QString path = dir_.filePath("拡張子なし");
        SaveInput("abc", path);
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
        QTemporaryDir current;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(current.path()));
        window_->inputPane()->setPlainText("abc");
        window_->OnSaveInput();
        QVERIFY(QDir::setCurrent(previous));
        QCOMPARE(choosers_.requests.size(), 1);
        QVERIFY(
            QDir(current.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
        QVERIFY(messages_->requests.isEmpty());
    }

    void aFileThatCannotBeWrittenIsReported() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        for (const QString& path :
             {dir.filePath("no/such/file.txt"), dir.filePath("folder"), QString()}) {
            messages_->Clear();
            SaveInput("abc", path);
            QCOMPARE(messages_->texts, QStringList{"ファイルが開けません"});
            QCOMPARE(messages_->requests[0].buttons, MessageButtons::Ok);
            QCOMPARE(messages_->requests[0].parent, &*window_);
            QCOMPARE(
                QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                QStringList{"folder"});
            QVERIFY(QFileInfo(dir.filePath("folder")).isDir());
        }
    }

    void theRealChooserAsksBeforeOverwritingAndKeepsATypedSuffix() {
        window_->OnSaveOutput();
        const std::unique_ptr<QFileDialog> chooser = MakeFileChooser(choosers_.requests.at(0));
        QCOMPARE(chooser->acceptMode(), QFileDialog::AcceptSave);
        QVERIFY(!chooser->testOption(QFileDialog::DontConfirmOverwrite));
        QVERIFY(chooser->parentWidget() == nullptr);
        auto* types = chooser->findChild<QComboBox*>("fileTypeCombo");
        QCOMPARE(types->itemText(0) + "|" + types->itemText(1),
                 QString("Text Data(*.txt)|All files(*.*)"));
        QCOMPARE(chooser->defaultSuffix(), QString("txt"));
        chooser->setDirectory(dir_.path());
        auto* name = chooser->findChild<QLineEdit*>("fileNameEdit");
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
