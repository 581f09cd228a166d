// Files dropped on the window and the dictionary dialog: their text into the input pane
// (how it is decoded, where it goes, what is refused), a file anywhere else as the
// dictionary, and the drops that keep the widgets' own handling.
#include <unistd.h>
#include <QtWidgets>

#include "WindowTestSupport.h"
#include "qt/DictionaryDlg.h"
#include "qt/FileDrops.h"
#include "qt/MainMenu.h"
#include "qt/PaneText.h"
#include "windowlogic/DroppedFiles.h"
#include "windowlogic/PaneFile.h"

using namespace quillery;

namespace {

const QString kJapanese = QStringLiteral("私は東京に行きました。\n表示もソースも～です。");
const QString kTooLarge =
    QStringLiteral("ファイルが大きすぎます。一度に挿入できるのは合わせて64MBまでです。");
const QString kCannotOpen = QStringLiteral("ファイルが開けません。");

QString Refused(const QString& name, const QString& reason) {
    return "次のファイルは挿入できません。\r\n" + name + "\r\n" + reason;
}

// A drag of these files, or of `text` when it is given.
std::unique_ptr<QMimeData> Mime(const QStringList& paths, const QString& text = QString()) {
    auto mime = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths) {
        urls << QUrl::fromLocalFile(path);
    }
    text.isEmpty() ? mime->setUrls(urls) : mime->setText(text);
    return mime;
}

// Drags `mime` over `target` at `pos` and drops it there, as the platform does: the drop
// only follows a drag the target took. Tells the action taken, IgnoreAction for none.
Qt::DropAction DragAndDrop(QWidget* target, QPoint pos, std::unique_ptr<QMimeData> mime,
                           Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction,
                           Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QDragEnterEvent enter(pos, actions, mime.get(), Qt::LeftButton, modifiers);
    QDragMoveEvent move(pos, actions, mime.get(), Qt::LeftButton, modifiers);
    QDropEvent drop(pos, actions, mime.get(), Qt::LeftButton, modifiers);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted() || (QApplication::sendEvent(target, &move), !move.isAccepted())) {
        return Qt::IgnoreAction;
    }
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
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
    Qt::DropAction DropOnInput(std::unique_ptr<QMimeData> mime,
                               Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction,
                               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        Input()->setPlainText("AB");
        QTextCursor between(Input()->document());
        between.setPosition(1);
        return DragAndDrop(Input()->viewport(), Input()->cursorRect(between).center(),
                           std::move(mime), actions, modifiers);
    }

  private slots:
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
        const std::tuple<const char*, QByteArray, QString> rows[] = {
            {"utf8.txt", kJapanese.toUtf8(), kJapanese},
            {"bom.txt", "\xEF\xBB\xBF" + QString(kJapanese).replace("\n", "\r").toUtf8(),
             kJapanese},
            {"bom-ascii.txt", "\xEF\xBB\xBFplain\r\n", "plain\n"},  // the mark alone says UTF-8
            {"kana.txt", "\xB6\xC5\xB6\xC5", "ｶﾅｶﾅ"},  // valid code page 932, not UTF-8
            {"undecodable.txt", "\x81\x20x\xA0\r\ny", "\uFFFD x\uFFFD\ny"},
        };
        for (const auto& [name, bytes, inserted] : rows) {
            QCOMPARE(DropOnInput(Mime({File(name, bytes)})), Qt::CopyAction);
            QCOMPARE(Input()->toPlainText(), "A" + inserted + "B");
            QCOMPARE(Input()->textCursor().position(), 1 + inserted.size());
        }
        // What does not decode is saved as "?", not as stray bytes.
        QCOMPARE(QByteArray::fromStdString(
                     PaneFileBytes(PaneTextToCrLf(Input()->document()->toRawText()))),
                 QByteArray("A? x?\r\nyB"));
        // Several files go in in the order dropped, each decoded on its own (code page 932
        // with CR LF among them), and one undo takes the whole drop back.
        const QString crlf = File("crlf.txt", Cp932(QString(kJapanese).replace("\n", "\r\n")));
        QVERIFY(DropOnInput(Mime({dir_.filePath("kana.txt"), crlf})) != Qt::IgnoreAction);
        QCOMPARE(Input()->toPlainText(), "Aｶﾅｶﾅ" + kJapanese + "B");
        Input()->undo();
        QCOMPARE(Input()->toPlainText(), QString("AB"));
    }

    void refusedFilesInsertNothingAndAreNamedInTheMessage() {
        const QString good = File("good.txt", "good");
        const QString notText = "テキストファイルではありません（NUL文字を含んでいます）。";
        // 64 MB in all, a drop's files together: a file that fills the room up to the byte
        // is read (and refused only for its NUL bytes), one byte more is too large.
        const QString nearlyAll = File("nearly-all.txt", "");
        constexpr qint64 k64MB = qint64{64} * 1024 * 1024;
        QVERIFY(::truncate(QFile::encodeName(nearlyAll).constData(), k64MB - 4) == 0);
        const std::pair<QStringList, QString> rows[] = {
            {{good, File("utf16.txt", QByteArray("a\0b\0", 4))}, Refused("utf16.txt", notText)},
            {{good, nearlyAll}, Refused("nearly-all.txt", notText)},
            {{File("five.txt", "12345"), nearlyAll}, Refused("nearly-all.txt", kTooLarge)},
            {{"/dev/zero"}, Refused("zero", kCannotOpen)},  // read, it would never end
        };
        for (const auto& [paths, message] : rows) {
            messages_.emplace();
            QVERIFY(DropOnInput(Mime(paths)) != Qt::IgnoreAction);
            QCOMPARE(Input()->toPlainText(), QString("AB"));
            // Told once the drop is over, so the program dragging from is not held up.
            QVERIFY(messages_->requests.isEmpty());
            QTRY_COMPARE(messages_->texts, QStringList{message});
            QCOMPARE(messages_->requests[0].parent, static_cast<QWidget*>(&*window_));
        }
    }

    void otherDragsKeepTheirOwnHandling() {
        const QString path = File("kept.txt", "file text");
        // A drag that offers only to move the file is not taken; one that prefers a
        // move (Shift) is taken as a copy.
        QCOMPARE(DropOnInput(Mime({path}), Qt::MoveAction), Qt::IgnoreAction);
        QCOMPARE(DropOnInput(Mime({path}), Qt::CopyAction | Qt::MoveAction, Qt::ShiftModifier),
                 Qt::CopyAction);
        QCOMPARE(Input()->toPlainText(), QString("Afile textB"));
        QVERIFY(QFile::exists(path));
        QCOMPARE(PathBytes(), QByteArray());
    }

    void aFileDroppedElsewhereOnTheWindowIsTheDictionary() {
        QPlainTextEdit* output = window_->outputPane();
        Trigger({CommandId::ReadOnly});
        const QString path = File("辞書.dat", Cp932("春の\r\n"));
        QCOMPARE(DragAndDrop(output->viewport(), {5, 5}, Mime({path})), Qt::CopyAction);
        QTRY_COMPARE(PathBytes(), Cp932(path));
        QCOMPARE(window_->windowTitle(), QString("Quillery - 40% 辞書.dat"));
        QCOMPARE(Output(), kPlaceholder);
        QVERIFY(messages_->requests.isEmpty());
        // Refused as the chooser refuses a name (over 255 bytes in all); nothing changes.
        const QString deep = QString(60, QChar(u'辞')) + "/" + QString(60, QChar(u'書'));
        QVERIFY(QDir(dir_.path()).mkpath(deep));
        QVERIFY(DragAndDrop(window_->menu()->menuBar(), {5, 5},
                            Mime({File(deep + "/long.dat", "x")})) != Qt::IgnoreAction);
        QTRY_COMPARE(messages_->texts, QStringList{kChosenNameTooLong});
        QCOMPARE(PathBytes(), Cp932(path));
        // Not taken: several files, a folder, text on the read-only pane, and a file over
        // the input pane while a run has greyed it.
        QCOMPARE(DragAndDrop(output->viewport(), {5, 5}, Mime({path, path})), Qt::IgnoreAction);
        QCOMPARE(DragAndDrop(window_->statusBar(), {5, 5}, Mime({dir_.path()})), Qt::IgnoreAction);
        QCOMPARE(DragAndDrop(output->viewport(), {5, 5}, Mime({}, "text")), Qt::IgnoreAction);
        window_->SetBusy(true);
        QCOMPARE(DragAndDrop(Input()->viewport(), {5, 5}, Mime({path})), Qt::IgnoreAction);
    }

    void aFileDroppedOnTheDictionaryDialogIsTakenAsAPickedOne() {
        const QString first = File("最初の辞書.dat", "x");
        const QString second = File("second.dat", "y");
        const auto open = [this] { Trigger({CommandId::Dictionary}); };
        QVERIFY(WhenModal<CDictionaryDlg>(open, [&](CDictionaryDlg& dialog) {
            auto* edit = dialog.findChild<QLineEdit*>("edit1029");
            QVERIFY(DragAndDrop(edit, {3, 3}, Mime({first})) != Qt::IgnoreAction);
            QTRY_COMPARE(edit->text(), first);
            // Anywhere on the dialog, the label among it.
            QWidget* label = dialog.findChildren<QLabel*>().front();
            QVERIFY(DragAndDrop(label, {1, 1}, Mime({second})) != Qt::IgnoreAction);
            QTRY_COMPARE(edit->text(), second);
            // A refused name changes nothing.
            QVERIFY(DragAndDrop(edit, {3, 3}, Mime({File("雪☃.dat", "x")})) != Qt::IgnoreAction);
            QTRY_COMPARE(messages_->texts, QStringList{kUnusableChosenName});
            QCOMPARE(edit->text(), second);
            dialog.findChild<QPushButton*>("button1")->click();
        }));
        QCOMPARE(PathBytes(), Cp932(second));
    }
};

QTEST_MAIN(FileDropsTest)
#include "FileDropsTest.moc"
