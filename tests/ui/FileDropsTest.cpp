// Files dropped on the window and the dictionary dialog: their text into the input pane
// (how it is decoded, where it goes, what is refused), a file anywhere else as the
// dictionary, and the drops that keep the widgets' own handling.
#include <unistd.h>
#include <QtWidgets>

#include "DialogTestSupport.h"
#include "WindowTestSupport.h"
#include "ui/DictionaryDlg.h"
#include "ui/FileDrops.h"
#include "ui/MainMenu.h"
#include "ui/SavePaneText.h"

using namespace quillery;

namespace {

const QString kJapanese = QStringLiteral("私は東京に行きました。\n表示もソースも～です。");

QString Refused(const QString& name, const QString& reason) {
    return "次のファイルは挿入できません。\r\n" + name + "\r\n" + reason;
}
const QString kNotText =
    QStringLiteral("テキストファイルではありません（NUL文字を含んでいます）。");
const QString kTooLarge =
    QStringLiteral("ファイルが大きすぎます。一度に挿入できるのは合わせて64MBまでです。");
const QString kCannotOpen = QStringLiteral("ファイルが開けません。");

std::unique_ptr<QMimeData> FileDrag(const QStringList& paths) {
    auto mime = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths) {
        urls << QUrl::fromLocalFile(path);
    }
    mime->setUrls(urls);
    return mime;
}

std::unique_ptr<QMimeData> TextDrag(const QString& text) {
    auto mime = std::make_unique<QMimeData>();
    mime->setText(text);
    return mime;
}

struct DropOutcome {
    bool entered = false;
    bool dropped = false;
    Qt::DropAction action = Qt::IgnoreAction;
};

// Drags `mime` over `target` at `pos` and drops it there, as the platform does: the drop
// only follows a drag the target took.
DropOutcome DragAndDrop(QWidget* target, QPoint pos, const QMimeData& mime,
                        Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction,
                        Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    DropOutcome outcome;
    QDragEnterEvent enter(pos, actions, &mime, Qt::LeftButton, modifiers);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return outcome;
    }
    QDragMoveEvent move(pos, actions, &mime, Qt::LeftButton, modifiers);
    QApplication::sendEvent(target, &move);
    outcome.entered = move.isAccepted();
    if (!outcome.entered) {
        return outcome;
    }
    QDropEvent drop(pos, actions, &mime, Qt::LeftButton, modifiers);
    QApplication::sendEvent(target, &drop);
    outcome.dropped = drop.isAccepted();
    outcome.action = drop.dropAction();
    return outcome;
}

// The point in a pane's viewport between the characters before and at `index`.
QPoint PointAt(QPlainTextEdit* pane, int index) {
    QTextCursor cursor(pane->document());
    cursor.setPosition(index);
    return pane->cursorRect(cursor).center();
}

}  // namespace

class FileDropsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::optional<MessageRecorder> messages_;
    std::optional<CMainDlg> window_;

    QString File(const QString& name, const QByteArray& bytes) {
        const QString path = dir_.filePath(name);
        return WriteFile(path, bytes) ? path : QString();
    }
    QPlainTextEdit* Input() const { return window_->inputPane(); }

    // Drops files on the input pane holding "AB", between A and B.
    DropOutcome DropOnInput(const QStringList& paths,
                            Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) {
        Input()->setPlainText("AB");
        return DragAndDrop(Input()->viewport(), PointAt(Input(), 1), *FileDrag(paths), actions);
    }
    QByteArray PathBytes() const {
        return QByteArray::fromStdString(gSettings.dictionaryPath.Bytes());
    }

  private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }
    void init() {
        Renew(messages_, window_);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(&*window_));
    }
    void cleanup() {
        window_.reset();
        QVERIFY(!QApplication::activeModalWidget());
    }

    void aDroppedFileIsDecodedAndInsertedAtTheDropPoint() {
        const QByteArray utf8 = kJapanese.toUtf8();
        const QByteArray bom("\xEF\xBB\xBF");
        const struct {
            const char* name;
            QByteArray bytes;
            QString inserted;
        } rows[] = {
            {"utf8.txt", utf8, kJapanese},
            {"crlf.txt", Cp932(QString(kJapanese).replace("\n", "\r\n")), kJapanese},
            {"bom.txt", bom + QString(kJapanese).replace("\n", "\r").toUtf8(), kJapanese},
            {"bom-bad.txt", bom + "a\xFF" + "b", "a\uFFFDb"},
            {"ascii.txt", "a\rb\r\nc\n\r\nC:\\dir~", "a\nb\nc\n\nC:\\dir~"},
            {"kana.txt", "\xB6\xC5\xB6\xC5", "ｶﾅｶﾅ"},  // valid code page 932, not UTF-8
            {"pair.txt", QString("𠮷野家").toUtf8(), "𠮷野家"},
            {"empty.txt", "", ""},
            {"undecodable.txt", "\x81\x20x\xA0\r\ny", "\uFFFD x\uFFFD\ny"},
        };
        for (const auto& row : rows) {
            const QString path = File(row.name, row.bytes);
            const DropOutcome outcome = DropOnInput({path});
            QVERIFY2(outcome.dropped, row.name);
            QCOMPARE(outcome.action, Qt::CopyAction);
            QCOMPARE(Input()->toPlainText(), "A" + row.inserted + "B");
            QCOMPARE(Input()->textCursor().position(), 1 + row.inserted.size());
            QVERIFY(QFile::exists(path));
        }
        // What does not decode is saved as "?", not as stray bytes.
        QCOMPARE(QByteArray::fromStdString(PaneFileBytes(Input()->document()->toRawText())),
                 QByteArray("A? x?\r\nyB"));
        // One undo takes the whole drop back.
        Input()->undo();
        QCOMPARE(Input()->toPlainText(), QString("AB"));
        QTest::qWait(0);
        QVERIFY(messages_->requests.isEmpty());
    }

    void severalFilesGoInInTheOrderDropped() {
        const QString first = File("first.txt", "one\r\n");
        const QString second = File("second.txt", Cp932("二\r\n"));
        const QString third = File("third.txt", "three");
        QVERIFY(DropOnInput({second, first, third}).dropped);
        QCOMPARE(Input()->toPlainText(), QString("A二\none\nthreeB"));
    }

    void refusedFilesInsertNothingAndAreNamedInTheMessage() {
        const QString good = File("good.txt", "good");
        const QString utf16 = File("utf16.txt", QByteArray("a\0b\0", 4));
        const QString big = dir_.filePath("big.txt");
        QVERIFY(WriteFile(big, ""));
        QVERIFY(::truncate(QFile::encodeName(big).constData(), kMaxDroppedBytes + 1) == 0);
        const QString missing = dir_.filePath("missing.txt");
        const QString folder = dir_.filePath("folder");
        QVERIFY(QDir().mkpath(folder));
        const std::pair<QStringList, QString> rows[] = {
            {{good, utf16}, Refused("utf16.txt", kNotText)},
            {{big}, Refused("big.txt", kTooLarge)},
            {{good, missing}, Refused("missing.txt", kCannotOpen)},
            {{folder}, Refused("folder", kCannotOpen)},
            {{"/dev/zero"}, Refused("zero", kCannotOpen)},  // read, it would never end
        };
        for (const auto& [paths, message] : rows) {
            messages_.emplace();
            QVERIFY(DropOnInput(paths).dropped);
            QCOMPARE(Input()->toPlainText(), QString("AB"));
            // Told once the drop is over, so the program dragging from is not held up.
            QVERIFY(messages_->requests.isEmpty());
            QTRY_COMPARE(messages_->texts, QStringList{message});
            QCOMPARE(messages_->requests[0].buttons, MessageButtons::Ok);
            QCOMPARE(messages_->requests[0].parent, static_cast<QWidget*>(&*window_));
        }
        // The limit holds for all the files of one drop together.
        const QString five = File("five.txt", "12345");
        const QString six = File("six.txt", "123456");
        QCOMPARE(ReadDroppedFiles({five, five}, 10).text, std::optional<QString>("1234512345"));
        const DroppedText over = ReadDroppedFiles({five, six}, 10);
        QVERIFY(!over.text);
        QCOMPARE(over.refusal, Refused("six.txt", kTooLarge));
    }

    void otherDragsKeepTheirOwnHandling() {
        const QString path = File("kept.txt", "file text");
        // Text and web addresses are inserted as Qt inserts them, never read as files.
        const std::pair<QMimeData*, QString> rows[] = {
            {TextDrag("漢字").release(), "A漢字B"},
            {[] {
                 auto* mime = new QMimeData;
                 mime->setUrls({QUrl("https://example.com/a.txt")});
                 return mime;
             }(),
             "Ahttps://example.com/a.txtB"},
            {[&] {
                 auto* mime = new QMimeData;
                 mime->setUrls({QUrl::fromLocalFile(path), QUrl("https://example.com/b")});
                 return mime;
             }(),
             "A" + QUrl::fromLocalFile(path).toString() + "\nhttps://example.com/b\nB"},
        };
        for (const auto& [mime, expected] : rows) {
            Input()->setPlainText("AB");
            QVERIFY(DragAndDrop(Input()->viewport(), PointAt(Input(), 1), *mime).dropped);
            QCOMPARE(Input()->toPlainText(), expected);
            delete mime;
        }
        // A drag that offers only to move the file is not taken; one that prefers a
        // move (Shift) is taken as a copy.
        QVERIFY(!DropOnInput({path}, Qt::MoveAction).entered);
        QCOMPARE(Input()->toPlainText(), QString("AB"));
        const DropOutcome shifted =
            DragAndDrop(Input()->viewport(), PointAt(Input(), 1), *FileDrag({path}),
                        Qt::CopyAction | Qt::MoveAction, Qt::ShiftModifier);
        QCOMPARE(shifted.action, Qt::CopyAction);
        QCOMPARE(Input()->toPlainText(), QString("Afile textB"));
        QVERIFY(QFile::exists(path));
        QVERIFY(messages_->requests.isEmpty());
        QCOMPARE(PathBytes(), QByteArray());
    }

    void aFileDroppedElsewhereOnTheWindowIsTheDictionary() {
        QPlainTextEdit* output = window_->outputPane();
        const struct {
            QWidget* target;
            bool readOnly;
        } rows[] = {{output->viewport(), false},
                    {output->viewport(), true},
                    {window_->statusBar(), false},
                    {window_->menu()->menuBar(), false}};
        int n = 0;
        for (const auto& row : rows) {
            if (row.readOnly != (gSettings.editReadOnly == 1)) {
                window_->OnReadOnly();
            }
            const QString name = QString("辞書%1.dat").arg(++n);
            const QString path = File(name, Cp932("春の\r\n"));
            const DropOutcome outcome =
                DragAndDrop(row.target, row.target->rect().center(), *FileDrag({path}));
            QVERIFY(outcome.dropped);
            QCOMPARE(outcome.action, Qt::CopyAction);
            QTRY_COMPARE(PathBytes(), Cp932(path));
            QCOMPARE(window_->windowTitle(), "Quillery - 40% " + name);
            QCOMPARE(output->toPlainText(), kPlaceholder);
        }
        QVERIFY(messages_->requests.isEmpty());

        // Refused as the chooser refuses a name; nothing changes.
        const QByteArray before = PathBytes();
        const QString deep = QString(60, QChar(u'辞')) + "/" + QString(60, QChar(u'書'));
        QVERIFY(QDir(dir_.path()).mkpath(deep));
        const std::pair<QString, QString> refused[] = {
            {File("雪☃.dat", "x"), kUnusableChosenName},
            {File(deep + "/long.dat", "x"), kChosenNameTooLong}};  // over 255 bytes in all
        for (const auto& [path, message] : refused) {
            messages_.emplace();
            QVERIFY(!path.isEmpty());
            QVERIFY(DragAndDrop(output->viewport(), {5, 5}, *FileDrag({path})).dropped);
            QTRY_COMPARE(messages_->texts, QStringList{message});
            QCOMPARE(PathBytes(), before);
        }

        // Not taken: several files, a folder, text on the read-only pane, and a file
        // over the input pane while a run has greyed it.
        messages_.emplace();
        const QString a = File("a.dat", "a");
        const QString b = File("b.dat", "b");
        QVERIFY(!DragAndDrop(output->viewport(), {5, 5}, *FileDrag({a, b})).entered);
        QVERIFY(!DragAndDrop(window_->statusBar(), {5, 5}, *FileDrag({dir_.path()})).entered);
        QVERIFY(!DragAndDrop(window_->statusBar(), {5, 5}, *FileDrag({"/dev/null"})).entered);
        QVERIFY(!DragAndDrop(output->viewport(), {5, 5}, *FileDrag({dir_.filePath("gone.dat")}))
                     .entered);
        window_->OnReadOnly();
        QVERIFY(output->isReadOnly());
        QVERIFY(!DragAndDrop(output->viewport(), {5, 5}, *TextDrag("text")).entered);
        QCOMPARE(output->toPlainText(), kPlaceholder);
        window_->SetBusy(true);
        QVERIFY(!DragAndDrop(Input()->viewport(), {5, 5}, *FileDrag({a})).entered);
        window_->SetBusy(false);
        QTest::qWait(0);
        QCOMPARE(PathBytes(), before);
        QVERIFY(messages_->requests.isEmpty());
    }

    void aFileDroppedOnTheDictionaryDialogIsTakenAsAPickedOne() {
        QVERIFY(SetDictionaryPath("before.dat"));
        const QString first = File("最初の辞書.dat", "x");
        const QString second = File("second.dat", "y");
        const QString other = File("other.dat", "z");
        for (bool ok : {false, true}) {
            const auto ran = WhenModal<CDictionaryDlg>([&](CDictionaryDlg& dialog) {
                auto* edit = dialog.findChild<QLineEdit*>("edit1029");
                QVERIFY(DragAndDrop(edit, {3, 3}, *FileDrag({first})).dropped);
                QTRY_COMPARE(edit->text(), first);
                // Anywhere on the dialog, the label among it.
                QWidget* label = dialog.findChildren<QLabel*>().front();
                QVERIFY(DragAndDrop(label, {1, 1}, *FileDrag({second})).dropped);
                QTRY_COMPARE(edit->text(), second);
                // Several files are not taken, nor is their address typed in.
                QVERIFY(!DragAndDrop(edit, {3, 3}, *FileDrag({first, other})).entered);
                QCOMPARE(edit->text(), second);
                // A refused name changes nothing.
                QVERIFY(DragAndDrop(edit, {3, 3}, *FileDrag({File("雪☃.dat", "x")})).dropped);
                QTRY_COMPARE(messages_->texts, QStringList{kUnusableChosenName});
                QCOMPARE(edit->text(), second);
                messages_.emplace();
                // Text is dropped into the edit as Qt drops it.
                edit->setCursorPosition(0);
                QVERIFY(DragAndDrop(edit, {1, 1}, *TextDrag("x")).dropped);
                QCOMPARE(edit->text(), "x" + second);
                edit->setText(second);
                dialog.findChild<QPushButton*>(ok ? "button1" : "button2")->click();
            });
            window_->OnDictionary();
            QVERIFY(*ran);
            QCOMPARE(PathBytes(), ok ? Cp932(second) : QByteArray("before.dat"));
        }
    }
};

QTEST_MAIN(FileDropsTest)
#include "FileDropsTest.moc"
