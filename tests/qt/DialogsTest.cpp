// The dictionary file dialog, the debug conversion dialog, saving pane text, the about
// box and the online help, each through its command: what they show, what OK and Cancel
// change, what they write, and what they refuse.
#include <QtWidgets>

#include "WindowTestSupport.h"
#include "qt/AboutDlg.h"
#include "qt/DebugConvertDlg.h"
#include "qt/DialogFont.h"
#include "qt/DictionaryDlg.h"
#include "qt/FileDialog.h"
#include "qt/OnlineHelp.h"
#include "qt/PaneText.h"
#include "windowlogic/AboutAndHelp.h"

using namespace quillery;

namespace {

const QString kRefusedCharacters = QStringLiteral(
    "辞書ファイル名に使えない文字です。\r\n"
    "シフトJIS（コードページ932）で表せない文字と改行は使えません。");

QLineEdit* Edit(QWidget& dialog, const char* name) {
    return dialog.findChild<QLineEdit*>(name);
}
void Click(QWidget& dialog, const char* name) {
    dialog.findChild<QAbstractButton*>(name)->click();
}
bool Checked(QWidget& dialog, const char* name) {
    return dialog.findChild<QAbstractButton*>(name)->isChecked();
}

// Answers every file chooser without a person and remembers what was asked; with no
// answer left, a chooser is cancelled.
struct FileChooserRecorder {
    FileChooserRecorder() {
        SetFileChooserHandler([this](const FileChooserRequest& request) {
            requests.append(request);
            return answers.isEmpty() ? std::optional<QString>() : answers.takeFirst();
        });
    }
    ~FileChooserRecorder() { SetFileChooserHandler({}); }
    QList<FileChooserRequest> requests;
    QList<std::optional<QString>> answers;
};

// The caption, the fixed template size in dialog units of the program's dialog font, no
// owner window, OK the default button, and the texts of the labels and buttons in the
// order they were made.
void CheckTemplate(QDialog& dialog, const QString& caption, QSize size, const QStringList& texts) {
    QCOMPARE(dialog.windowTitle(), caption);
    QCOMPARE(dialog.size(), DialogUnits(DialogFont()).Size(size.width(), size.height()));
    QVERIFY(dialog.parentWidget() == nullptr);
    QVERIFY(dialog.findChild<QPushButton*>("button1")->isDefault());
    QStringList shown;
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
        auto* label = qobject_cast<QLabel*>(widget);
        auto* button = qobject_cast<QAbstractButton*>(widget);
        const QString text = label ? label->text() : button ? button->text() : QString();
        if (!text.isEmpty()) {
            shown << text;
        }
    }
    QCOMPARE(shown, texts);
}

}  // namespace

class DialogsTest : public QObject, WindowFixture {
    Q_OBJECT

    FileChooserRecorder choosers_;

    // Open a dialog through its command and run `step` in it; tell whether it ran.
    bool Dictionary(std::function<void(CDictionaryDlg&)> step) {
        return WhenModal<CDictionaryDlg>([this] { Trigger({CommandId::Dictionary}); },
                                         std::move(step));
    }
    bool DebugConvert(std::function<void(CDebugConvertDlg&)> step) {
        return WhenModal<CDebugConvertDlg>([this] { Trigger({CommandId::DebugConvert}); },
                                           std::move(step));
    }

    // Settings that give a varied conversion of a long text.
    void PrepareRun() {
        QVERIFY(UseDictionary(dir_.filePath("words.dat"),
                              Cp932("春の\r\n静かな\r\nふと\r\n遠い\r\n青い\r\n")));
        gSettings.insertRatio = 5;
        window_->inputPane()->setPlainText(
            QString("今日は東京で雨が降りました。明日は大阪へ行きます。\n").repeated(20));
    }
    void SaveInput(const QString& text, const QString& path) {
        window_->inputPane()->setPlainText(text);
        choosers_.answers = {path};
        Trigger({CommandId::SaveInput});
    }

  private slots:
    void initTestCase() { InstallDialogFontSubstitutions(); }
    void init() {
        choosers_.requests.clear();
        Renew();
    }
    void cleanup() {
        window_.reset();
        QVERIFY(!QApplication::activeModalWidget());
    }

    void dictionaryOkCopiesTheEditOrThePickBackAndCancelChangesNothing() {
        // OK without an edit gives back bytes that are not code page 932, and rewrites
        // the title.
        const QByteArray odd("C:\\\x81\x20x\\\xFF\xA0.dat");
        QVERIFY(gSettings.dictionaryPath.Assign(odd.toStdString()));
        window_->setWindowTitle("stale");
        QVERIFY(Dictionary([](CDictionaryDlg& dialog) {
            CheckTemplate(dialog, "辞書の選択", {267, 103},
                          {"OK", "ｷｬﾝｾﾙ", "辞書ファイル名", "...",
                           "辞書ファイルとは、文章に挿入するキーワードを羅列したファイルです。\n"
                           "この辞書ファイルのキーワードを使って、入力した文章を変換します。\n"
                           "ファイル名は直接入力するか、横の[...]ボタンを押して選択します。"});
            CheckAccessible(&dialog,
                            {{"edit1029", "辞書ファイル名"}, {"button1030", "辞書ファイルを選択"}});
            QTest::keyClick(dialog.findChild<QPushButton*>("button1"), Qt::Key_Space);
        }));
        QCOMPARE(PathBytes(), odd);
        QVERIFY(window_->windowTitle().startsWith("Quillery - 40% "));
        // A cancelled chooser keeps the typed text, a pick replaces it; only OK keeps it.
        const QString picked = dir_.filePath("日本語の辞書.dat");
        for (const bool ok : {false, true}) {
            choosers_.answers = {std::nullopt, picked};
            QVERIFY(Dictionary([&](CDictionaryDlg& dialog) {
                QTest::keyClicks(Edit(dialog, "edit1029"), "typed");
                const QString typed = Edit(dialog, "edit1029")->text();
                Click(dialog, "button1030");
                QCOMPARE(Edit(dialog, "edit1029")->text(), typed);
                Click(dialog, "button1030");
                QCOMPARE(Edit(dialog, "edit1029")->text(), picked);
                Click(dialog, ok ? "button1" : "button2");
            }));
            QCOMPARE(PathBytes(), ok ? Cp932(picked) : odd);
        }
        QCOMPARE(window_->windowTitle(), QString("Quillery - 40% 日本語の辞書.dat"));
        QVERIFY(messages_->requests.isEmpty());
    }

    void dictionaryKeepsOutWhatDictionaryPathCannotHold() {
        QVERIFY(SetDictionaryPath("before.dat"));
        QVERIFY(Dictionary([&](CDictionaryDlg& dialog) {
            QLineEdit* edit = Edit(dialog, "edit1029");
            choosers_.answers = {"/" + QString(130, QChar(u'辞')) + ".dat"};
            Click(dialog, "button1030");
            QCOMPARE(messages_->texts, QStringList{kChosenNameTooLong});
            QCOMPARE(edit->text(), QString("before.dat"));
            // Typed or pasted text the code page cannot hold is refused whole, a
            // look-alike of what it holds too.
            messages_.emplace();
            edit->end(false);
            edit->insert("x〜");
            QCOMPARE(edit->text(), QString("before.dat"));
            QTRY_COMPARE(messages_->texts, QStringList{kRefusedCharacters});
            QCOMPARE(messages_->requests[0].buttons, MessageButtons::Ok);
            edit->insert("～ｶﾅ");  // what the code page holds, the full-width tilde among it
            QCOMPARE(edit->text(), QString("before.dat～ｶﾅ"));
            // The edit holds at 255 bytes of code page 932, and a long paste into the
            // middle keeps what follows the cursor.
            edit->setText("[]");
            edit->setCursorPosition(1);
            edit->insert(QString(200, QChar(u'語')));
            QCOMPARE(edit->text(), "[" + QString(126, QChar(u'語')) + "]");
            QCOMPARE(edit->cursorPosition(), 127);
            edit->insert("表");  // two bytes where one is left
            Click(dialog, "button1");
        }));
        QCOMPARE(PathBytes(), Cp932("[" + QString(126, QChar(u'語')) + "]"));
        QCOMPARE(messages_->requests.size(), 1);
    }

    void debugDialogShowsTheSettingsAndRefusalsAndCancelChangeNothing() {
        gSettings.randomSeed = 4294967295u;
        gSettings.useFixedSeed = 1;
        gSettings.insertMark = 2;  // hand-edited: only 1 ticks the box
        gSettings.newestRandomSeed = -5;
        const Settings before = gSettings;
        QVERIFY(DebugConvert([&](CDebugConvertDlg& dialog) {
            CheckTemplate(dialog, "デバッグ変換", {165, 118},
                          {"OK", "ｷｬﾝｾﾙ", "文節に<>を挿入", "乱数系列を固定する",
                           "系列値(0～4294967295)", "最新の通常変換の系列値", "-5", "↑コピー"});
            // The newest seed is a label: its name has to carry the number itself.
            CheckAccessible(&dialog,
                            {{"edit1038", "系列値"}, {"static1039", "最新の通常変換の系列値 -5"}});
            QLineEdit* seed = Edit(dialog, "edit1038");
            QCOMPARE(seed->text(), QString("4294967295"));
            QVERIFY(!Checked(dialog, "check1036") && Checked(dialog, "check1037"));
            dialog.activateWindow();
            Click(dialog, "check1036");
            for (const QString text : {"", "-1", "１２", "4294967296"}) {
                messages_.emplace();
                seed->setText(text);
                dialog.findChild<QPushButton*>("button1")->setFocus();
                QTest::mouseClick(dialog.findChild<QPushButton*>("button1"), Qt::LeftButton);
                QCOMPARE(messages_->texts,
                         QStringList{"系列値には 0～4294967295 の整数を入力してください。"});
                QVERIFY(dialog.isVisible());
                QCOMPARE(dialog.focusWidget(), seed);
                QCOMPARE(seed->selectedText(), text);
            }
            QTest::keyClick(seed, Qt::Key_Escape);
        }));
        QVERIFY(!window_->runActive());
        QVERIFY(gSettings == before);
    }

    // A newest seed copies as the 32-bit seed it stands for, which the seed field takes:
    // a negative one as its unsigned value, the edges included.
    void copyGivesTheSeedFieldTheUnsignedSeed() {
        const std::pair<std::int32_t, QString> rows[] = {{INT32_MIN, "2147483648"},
                                                         {-5, "4294967291"},
                                                         {-1, "4294967295"},
                                                         {0, "0"},
                                                         {INT32_MAX, "2147483647"}};
        for (const auto& [newest, copied] : rows) {
            gSettings.newestRandomSeed = newest;
            QVERIFY(DebugConvert([&](CDebugConvertDlg& dialog) {
                Click(dialog, "button1040");
                QCOMPARE(Edit(dialog, "edit1038")->text(), copied);
                Click(dialog, "button1");
            }));
            QVERIFY(RunEnds(*window_));
            QCOMPARE(QString::number(gSettings.randomSeed), copied);
        }
    }

    // The command does nothing while a run is on; OK stores the options and starts a
    // debug run, and a copied newest seed, fixed, repeats the normal run it came from.
    void debugOkStoresTheOptionsAndRepeatsACopiedRun() {
        QVERIFY(UseDictionary(dir_.filePath("x.dat"), "X\r\n"));
        gSettings.insertRatio = 10;
        window_->inputPane()->setPlainText("私は東京に行きました。");
        window_->OnConvert();
        QVERIFY(!DebugConvert([](CDebugConvertDlg& dialog) { Click(dialog, "button1"); }));
        QVERIFY(RunEnds(*window_));
        gSettings.newestRandomSeed = 0;  // that run's; a fixed seed below records none
        QVERIFY(DebugConvert([&](CDebugConvertDlg& dialog) {
            Click(dialog, "check1036");
            Click(dialog, "check1037");
            Edit(dialog, "edit1038")->setText("4294967295");
            Click(dialog, "button1");
        }));
        QVERIFY(RunEnds(*window_));
        QCOMPARE(QList<int>({gSettings.insertMark, gSettings.useFixedSeed, gSettings.debugRun}),
                 QList<int>({1, 1, 1}));
        QCOMPARE(gSettings.randomSeed, 4294967295u);
        QCOMPARE(Output(), QString("<X>私は<X>東京に<X>行きました。"));

        PrepareRun();
        Trigger({CommandId::Convert});
        QVERIFY(RunEnds(*window_));
        const QString normal = Output();
        const std::int32_t seed = gSettings.newestRandomSeed;
        // Another seed gives another output, so the comparison below can fail.
        gSettings.randomSeed = static_cast<std::uint32_t>(seed) + 1;
        gSettings.debugRun = 1;
        window_->StartRun();
        QVERIFY(RunEnds(*window_));
        QVERIFY(Output() != normal);
        QVERIFY(DebugConvert([seed](CDebugConvertDlg& dialog) {
            Click(dialog, "check1036");
            Click(dialog, "button1040");
            QCOMPARE(Edit(dialog, "edit1038")->text(), QString::number(seed));
            Click(dialog, "button1");
        }));
        QVERIFY(RunEnds(*window_));
        QCOMPARE(Output(), normal);
    }

    void savedFilesHoldThePanesExactText() {
        const QString path = dir_.filePath("saved.txt");
        const std::pair<QString, QByteArray> rows[] = {
            {"一行目\n\nｶﾅ\t%s\u2028", Cp932("一行目\r\n\r\nｶﾅ\t%s\r\n")},  // U+2028 breaks too
            {"𠮷野家☃a💀b", "?" + Cp932("野家") + "?a?b"},  // 💀's low half is U+DC80
            // Lone escaped-byte units, the range's ends among them, wherever they stand.
            {QChar(0xDCFF) + QString("x") + QChar(0xDC81) + "\n" + QChar(0xDC80), "?x?\r\n?"},
        };
        for (const auto& [text, bytes] : rows) {
            QVERIFY(WriteFile(path, QByteArray(500, 'z')));  // replaced, not appended to
            SaveInput(text, path);
            QCOMPARE(ReadFile(path), bytes);
        }
        // Before any conversion the output pane holds the placeholder; read-only, it saves.
        Trigger({CommandId::ReadOnly});
        choosers_.answers = {path};
        Trigger({CommandId::SaveOutput});
        QCOMPARE(ReadFile(path), Cp932(kPlaceholder));
    }

    // Nothing is written when the chooser is cancelled or the file does not open; a file
    // made read-only is left as it is, bytes and permissions, also by root.
    void savingWritesNothingWhenCancelledOrRefused() {
        QTemporaryDir dir;
        window_->inputPane()->setPlainText("abc");
        Trigger({CommandId::SaveInput});  // cancelled
        QVERIFY(messages_->requests.isEmpty());
        const QString readOnly = dir.filePath("kept.txt");
        QVERIFY(WriteFile(readOnly, "old"));
        const auto permissions = QFile::ReadOwner | QFile::ReadUser | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(readOnly, permissions));
        const auto before = QFile::permissions(readOnly);
        for (const QString& path : {dir.filePath("no/such/file.txt"), readOnly}) {
            messages_.emplace();
            SaveInput("abc", path);
            QCOMPARE(messages_->texts, QStringList{"ファイルが開けません"});
            QCOMPARE(messages_->requests[0].buttons, MessageButtons::Ok);
            QCOMPARE(messages_->requests[0].parent, &*window_);
        }
        QCOMPARE(ReadFile(readOnly), QByteArray("old"));
        QCOMPARE(QFile::permissions(readOnly), before);
        QVERIFY(QFile::setPermissions(readOnly, permissions | QFile::WriteOwner));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{"kept.txt"});
    }

    void theRealChoosers() {
        Trigger({CommandId::SaveOutput});
        QVERIFY(Dictionary([](CDictionaryDlg& dialog) { Click(dialog, "button1030"); }));
        // The save chooser asks before overwriting and adds ".txt" under its type.
        const std::unique_ptr<QFileDialog> save = MakeFileChooser(choosers_.requests[0]);
        QCOMPARE(save->acceptMode(), QFileDialog::AcceptSave);
        QVERIFY(!save->testOption(QFileDialog::DontConfirmOverwrite));
        auto* types = save->findChild<QComboBox*>("fileTypeCombo");
        QCOMPARE(types->itemText(0) + "|" + types->itemText(1),
                 QString("Text Data(*.txt)|All files(*.*)"));
        QCOMPARE(save->defaultSuffix(), QString("txt"));
        // The open chooser takes only a file that exists, and "All files(*.*)" lists names
        // without a dot too.
        const std::unique_ptr<QFileDialog> open = MakeFileChooser(choosers_.requests[1]);
        QCOMPARE(open->fileMode(), QFileDialog::ExistingFile);
        types = open->findChild<QComboBox*>("fileTypeCombo");
        QCOMPARE(types->itemText(0) + "|" + types->itemText(1),
                 QString("Dictionary Data(*.dat)|All files(*.*)"));
        QCOMPARE(choosers_.requests[1].filters.last().patterns, QStringList{"*"});
    }

    void aboutBoxShowsTheTextReadOnly() {
        const QStringList lines =
            ToQString(AboutText("1.00", HelpPageAddress().toStdU16String())).split("\r\n");
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0] + "|" + lines[2] + "|" + lines[3],
                 "Quillery Ver1.00||" + HelpPageAddress());
        QVERIFY(WhenModal<CAboutDlg>(
            [this] { Trigger({CommandId::About}); },
            [](CAboutDlg& dialog) {
                CheckTemplate(dialog, "このソフトについて", {169, 96}, {"OK"});
                CheckAccessible(&dialog, {{"edit1043", "バージョン情報"}});
                auto* text = dialog.findChild<QPlainTextEdit*>("edit1043");
                // Not changeable; Enter there does not close the box.
                text->setFocus();
                QTest::keyClicks(text, "typed");
                QTest::keyClick(text, Qt::Key_Return);
                QVERIFY(dialog.isVisible() && !text->toPlainText().contains("typed"));
                Click(dialog, "button1");
            }));
    }

    void helpOpensThePageBesideTheProgramOnlyOnYes() {
        QList<QUrl> opened;
        bool opens = true;
        SetUrlOpener([&](const QUrl& url) {
            opened << url;
            return opens;
        });
        const auto restore = qScopeGuard([] { SetUrlOpener({}); });
        const QUrl url = HelpPageUrl();
        messages_->answers = {MessageResult::Failed, MessageResult::Yes};
        Trigger({CommandId::OnlineHelp});
        QCOMPARE(opened, QList<QUrl>());
        Trigger({CommandId::OnlineHelp});
        QCOMPARE(opened, QList<QUrl>{url});
        QCOMPARE(messages_->texts.size(), 2);
        QCOMPARE(messages_->texts.last(), "オンラインヘルプを表示するため\r\n" + url.toString() +
                                              "\r\nをブラウザで開きますか？");
        QCOMPARE(messages_->requests[0].buttons, MessageButtons::YesNo);
        // A page nothing could open is told, with its path to open by hand.
        opens = false;
        messages_->answers = {MessageResult::Yes, MessageResult::Ok};
        Trigger({CommandId::OnlineHelp});
        QCOMPARE(messages_->texts.size(), 4);
        QCOMPARE(messages_->texts.last(), "オンラインヘルプを開けませんでした。\r\n" +
                                              url.toLocalFile() +
                                              "\r\nをブラウザで開いてください。");
        QCOMPARE(messages_->requests.last().buttons, MessageButtons::Ok);
        // The page itself: Japanese in UTF-8 without a byte-order mark.
        const QByteArray page = ReadFile(QStringLiteral(QUILLERY_OUTPUT_DIR "/help/index.html"));
        QVERIFY(page.contains("<meta charset=\"utf-8\">") && !page.startsWith("\xEF\xBB\xBF"));
        QVERIFY(page.contains("lang=\"ja\"") && page.contains("辞書ファイル設定"));
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
