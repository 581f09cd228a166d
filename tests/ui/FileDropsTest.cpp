// Files dropped on the window and the dictionary dialog: their text into the input pane
// (how it is decoded, where it goes, what is refused), a file anywhere else as the
// dictionary, and the drops that keep the widgets' own handling.
#include <unistd.h>
#include <QtWidgets>

#include "WindowTestSupport.h"
#include "ui/DictionaryDlg.h"
#include "ui/FileDrops.h"
#include "ui/MainMenu.h"
#include "ui/SavePaneText.h"

using namespace quillery;

namespace {

const QString kJapanese = QStringLiteral("私は東京に行きました。\n表示もソースも～です。");
const QString kNotText =
    QStringLiteral("テキストファイルではありません（NUL文字を含んでいます）。");
const QString kTooLarge =
    QStringLiteral("ファイルが大きすぎます。一度に挿入できるのは合わせて64MBまでです。");
const QString kCannotOpen = QStringLiteral("ファイルが開けません。");

QString Refused(const QString& name, const QString& reason) {
    return "次のファイルは挿入できません。\r\n" + name + "\r\n" + reason;
}

// A drag of these addresses, or of `text` when it is given.
std::unique_ptr<QMimeData> Mime(const QList<QUrl>& urls, const QString& text = QString()) {
    auto mime = std::make_unique<QMimeData>();
    text.isEmpty() ? mime->setUrls(urls) : mime->setText(text);
    return mime;
}
std::unique_ptr<QMimeData> Files(const QStringList& paths) {
    QList<QUrl> urls;
    for (const QString& path : paths) {
        urls << QUrl::fromLocalFile(path);
    }
    return Mime(urls);
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
    QDragEnterEvent enter(pos, actions, &mime, Qt::LeftButton, modifiers);
    QDragMoveEvent move(pos, actions, &mime, Qt::LeftButton, modifiers);
    QDropEvent drop(pos, actions, &mime, Qt::LeftButton, modifiers);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted() || (QApplication::sendEvent(target, &move), !move.isAccepted())) {
        return {};
    }
    QApplication::sendEvent(target, &drop);
    return {true, drop.isAccepted(), drop.dropAction()};
}

}  // namespace

class FileDropsTest : public QObject, WindowFixture {
    Q_OBJECT

    QString File(const QString& name, const QByteArray& bytes) {
        const QString path = dir_.filePath(name);
        return WriteFile(path, bytes) ? path : QString();
    }
    QPlainTextEdit* Input() const { return window_->inputPane(); }

    // Drops on the input pane holding "AB", between A and B.
    DropOutcome DropOnInput(const QMimeData& mime,
                            Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction,
                            Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        Input()->setPlainText("AB");
        QTextCursor between(Input()->document());
        between.setPosition(1);
        return DragAndDrop(Input()->viewport(), Input()->cursorRect(between).center(), mime,
                           actions, modifiers);
    }

  private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }
    void init() {
        Renew();
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(&*window_));
    }
    void cleanup() {
        window_.reset();
        QVERIFY(!QApplication::activeModalWidget());
    }

    void droppedFilesAreDecodedAndInsertedAtTheDropPoint() {
        const QByteArray bom("\xEF\xBB\xBF");
        const struct {
            const char* name;
            QByteArray bytes;
            QString inserted;
        } rows[] = {
            {"utf8.txt", kJapanese.toUtf8(), kJapanese},
            {"crlf.txt", Cp932(QString(kJapanese).replace("\n", "\r\n")), kJapanese},
            {"bom.txt", bom + QString(kJapanese).replace("\n", "\r").toUtf8(), kJapanese},
            {"kana.txt", "\xB6\xC5\xB6\xC5", "ｶﾅｶﾅ"},  // valid code page 932, not UTF-8
            {"undecodable.txt", "\x81\x20x\xA0\r\ny", "\uFFFD x\uFFFD\ny"},
        };
        for (const auto& row : rows) {
            const QString path = File(row.name, row.bytes);
            const DropOutcome outcome = DropOnInput(*Files({path}));
            QVERIFY2(outcome.dropped, row.name);
            QCOMPARE(outcome.action, Qt::CopyAction);
            QCOMPARE(Input()->toPlainText(), "A" + row.inserted + "B");
            QCOMPARE(Input()->textCursor().position(), 1 + row.inserted.size());
            QVERIFY(QFile::exists(path));
        }
        // What does not decode is saved as "?", not as stray bytes.
        QCOMPARE(QByteArray::fromStdString(PaneFileBytes(Input()->document()->toRawText())),
                 QByteArray("A? x?\r\nyB"));
        // Several files go in in the order dropped, each decoded on its own, and one undo
        // takes the whole drop back.
        QVERIFY(
            DropOnInput(*Files({dir_.filePath("kana.txt"), dir_.filePath("utf8.txt")})).dropped);
        QCOMPARE(Input()->toPlainText(), "Aｶﾅｶﾅ" + kJapanese + "B");
        Input()->undo();
        QCOMPARE(Input()->toPlainText(), QString("AB"));
        QTest::qWait(0);
        QVERIFY(messages_->requests.isEmpty());
    }

    void refusedFilesInsertNothingAndAreNamedInTheMessage() {
        const QString good = File("good.txt", "good");
        const QString big = File("big.txt", "");
        QVERIFY(::truncate(QFile::encodeName(big).constData(), kMaxDroppedBytes + 1) == 0);
        const std::pair<QStringList, QString> rows[] = {
            {{good, File("utf16.txt", QByteArray("a\0b\0", 4))}, Refused("utf16.txt", kNotText)},
            {{big}, Refused("big.txt", kTooLarge)},
            {{good, dir_.filePath("missing.txt")}, Refused("missing.txt", kCannotOpen)},
            {{"/dev/zero"}, Refused("zero", kCannotOpen)},  // read, it would never end
        };
        for (const auto& [paths, message] : rows) {
            messages_.emplace();
            QVERIFY(DropOnInput(*Files(paths)).dropped);
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
        const DroppedText over = ReadDroppedFiles({five, six}, 10);
        QVERIFY(!over.text);
        QCOMPARE(over.refusal, Refused("six.txt", kTooLarge));
    }

    void otherDragsKeepTheirOwnHandling() {
        const QString path = File("kept.txt", "file text");
        const QUrl file = QUrl::fromLocalFile(path);
        // A file among web addresses is inserted as Qt inserts text, never read.
        QVERIFY(DropOnInput(*Mime({file, QUrl("https://example.com/b")})).dropped);
        QCOMPARE(Input()->toPlainText(), "A" + file.toString() + "\nhttps://example.com/b\nB");
        // A drag that offers only to move the file is not taken; one that prefers a
        // move (Shift) is taken as a copy.
        QVERIFY(!DropOnInput(*Files({path}), Qt::MoveAction).entered);
        const DropOutcome shifted =
            DropOnInput(*Files({path}), Qt::CopyAction | Qt::MoveAction, Qt::ShiftModifier);
        QCOMPARE(shifted.action, Qt::CopyAction);
        QCOMPARE(Input()->toPlainText(), QString("Afile textB"));
        QVERIFY(QFile::exists(path));
        QVERIFY(messages_->requests.isEmpty());
        QCOMPARE(PathBytes(), QByteArray());
    }

    void aFileDroppedElsewhereOnTheWindowIsTheDictionary() {
        QPlainTextEdit* output = window_->outputPane();
        Trigger({CommandId::ReadOnly});
        const QString path = File("辞書.dat", Cp932("春の\r\n"));
        const DropOutcome outcome = DragAndDrop(output->viewport(), {5, 5}, *Files({path}));
        QVERIFY(outcome.dropped);
        QCOMPARE(outcome.action, Qt::CopyAction);
        QTRY_COMPARE(PathBytes(), Cp932(path));
        QCOMPARE(window_->windowTitle(), QString("Quillery - 40% 辞書.dat"));
        QCOMPARE(Output(), kPlaceholder);
        QVERIFY(messages_->requests.isEmpty());
        // Refused as the chooser refuses a name (over 255 bytes in all); nothing changes.
        const QString deep = QString(60, QChar(u'辞')) + "/" + QString(60, QChar(u'書'));
        QVERIFY(QDir(dir_.path()).mkpath(deep));
        QVERIFY(
            DragAndDrop(window_->menu()->menuBar(), {5, 5}, *Files({File(deep + "/long.dat", "x")}))
                .dropped);
        QTRY_COMPARE(messages_->texts, QStringList{kChosenNameTooLong});
        QCOMPARE(PathBytes(), Cp932(path));
        // Not taken: several files, a folder, text on the read-only pane, and a file over
        // the input pane while a run has greyed it.
        const std::pair<QWidget*, std::unique_ptr<QMimeData>> notTaken[] = {
            {output->viewport(), Files({path, path})},
            {window_->statusBar(), Files({dir_.path()})},
            {output->viewport(), Mime({}, "text")}};
        for (const auto& [target, mime] : notTaken) {
            QVERIFY(!DragAndDrop(target, {5, 5}, *mime).entered);
        }
        window_->SetBusy(true);
        QVERIFY(!DragAndDrop(Input()->viewport(), {5, 5}, *Files({path})).entered);
    }

    void aFileDroppedOnTheDictionaryDialogIsTakenAsAPickedOne() {
        QVERIFY(SetDictionaryPath("before.dat"));
        const QString first = File("最初の辞書.dat", "x");
        const QString second = File("second.dat", "y");
        for (const bool ok : {false, true}) {
            const auto open = [this] { Trigger({CommandId::Dictionary}); };
            QVERIFY(WhenModal<CDictionaryDlg>(open, [&](CDictionaryDlg& dialog) {
                auto* edit = dialog.findChild<QLineEdit*>("edit1029");
                QVERIFY(DragAndDrop(edit, {3, 3}, *Files({first})).dropped);
                QTRY_COMPARE(edit->text(), first);
                // Anywhere on the dialog, the label among it.
                QWidget* label = dialog.findChildren<QLabel*>().front();
                QVERIFY(DragAndDrop(label, {1, 1}, *Files({second})).dropped);
                QTRY_COMPARE(edit->text(), second);
                // A refused name changes nothing.
                QVERIFY(DragAndDrop(edit, {3, 3}, *Files({File("雪☃.dat", "x")})).dropped);
                QTRY_COMPARE(messages_->texts, QStringList{kUnusableChosenName});
                QCOMPARE(edit->text(), second);
                messages_.emplace();
                dialog.findChild<QPushButton*>(ok ? "button1" : "button2")->click();
            }));
            QCOMPARE(PathBytes(), ok ? Cp932(second) : QByteArray("before.dat"));
        }
    }
};

QTEST_MAIN(FileDropsTest)
#include "FileDropsTest.moc"
