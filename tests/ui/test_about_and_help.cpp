// The about box and the online help command: the box's text and that it changes
// nothing; the prompt, opening the page only on Yes, and the page beside the program.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringDecoder>

#include "DialogTestSupport.h"
#include "WindowTestSupport.h"
#include "ui/AboutDlg.h"
#include "ui/DebugConvertDlg.h"
#include "ui/DialogFont.h"
#include "ui/OnlineHelp.h"

using namespace quillery;

namespace {

// Records every address handed to the system instead of opening it.
class UrlRecorder {
  public:
    UrlRecorder() {
        SetUrlOpener([this](const QUrl& url) { opened.append(url); });
    }
    ~UrlRecorder() { SetUrlOpener({}); }

    QList<QUrl> opened;
};

}  // namespace

class AboutAndHelpTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { ResetSettings(); }

    void theAboutTextHasFourLinesWithTheVersionFilledIn() {
        const QStringList lines = AboutText("1.00").split("\r\n");
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], QString("Quillery Ver1.00"));
        QVERIFY(!lines[1].isEmpty());
        QCOMPARE(lines[2], QString());
        QCOMPARE(lines[3], HelpPageAddress());
        QVERIFY(AboutText("%s%d").startsWith("Quillery Ver%s%d\r\n"));
    }

    void theAboutBoxShowsTheTextReadOnlyAndChangesNothing() {
        MessageRecorder messages;
        CMainDlg window;
        const QString title = window.windowTitle();
        const Settings before = gSettings;
        const auto ran = WhenModal<CAboutDlg>([](CAboutDlg& dialog) {
            QCOMPARE(dialog.windowTitle(), QString("このソフトについて"));
            const DialogUnits units(dialog.font());
            QCOMPARE(dialog.size(), units.Size(169, 96));
            QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
            QVERIFY(dialog.parentWidget() == nullptr);
            auto* text = dialog.findChild<QPlainTextEdit*>("edit1043");
            const QStringList lines = AboutText("1.00").split("\r\n");
            QCOMPARE(text->geometry(), units.Rect(32, 7, 130, 58));
            QCOMPARE(text->toPlainText().split('\n'), lines);
            QVERIFY(text->isReadOnly());
            QCOMPARE(text->frameShape(), QFrame::NoFrame);
            // Selectable, not changeable; Enter belongs to the text and does not close the box.
            text->setFocus();
            QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
            QCOMPARE(text->textCursor().selectedText().replace(QChar::ParagraphSeparator, '\n'),
                     text->toPlainText());
            QTest::keyClicks(text, "typed");
            QTest::keyClick(text, Qt::Key_Delete);
            QTest::keyClick(text, Qt::Key_Return);
            QCOMPARE(text->toPlainText().split('\n'), lines);
            QVERIFY(dialog.isVisible());
            auto* icon = dialog.findChild<QLabel*>("icon128");
            QVERIFY(!icon->pixmap().isNull());
            QCOMPARE(icon->pos(), QPoint(units.X(7), units.Y(7)));
            auto* ok = dialog.findChild<QPushButton*>("button1");
            QCOMPARE(ok->text(), QString("OK"));
            QVERIFY(ok->isDefault());
            QCOMPARE(ok->geometry(), units.Rect(112, 75, 50, 14));
            QCOMPARE(TabOrder(ok), QStringList({"button1", "edit1043"}));
            QTest::mouseClick(ok, Qt::LeftButton);
            QVERIFY(!dialog.isVisible());
        });
        window.OnAbout();
        QVERIFY(*ran);
        const auto closed = WhenModal<CAboutDlg>([](CAboutDlg& dialog) {
            dialog.close();
            QVERIFY(!dialog.isVisible());
        });
        window.OnAbout();
        QVERIFY(*closed);
        QVERIFY(gSettings == before);
        QCOMPARE(window.windowTitle(), title);
        QVERIFY(messages.requests.isEmpty());
    }

    void aDialogOtherThanTheOneAwaitedFailsAndIsClosed() {
        CMainDlg window;
        const auto ran = WhenModal<CDebugConvertDlg>([](CDebugConvertDlg&) {});
        QEXPECT_FAIL("", "the about box is not the debug conversion dialog", Continue);
        window.OnAbout();  // returns: the box was closed
        QVERIFY(!*ran);
    }

    void yesOpensThePageBesideTheExecutableOnce() {
        MessageRecorder messages;
        UrlRecorder urls;
        CMainDlg window;
        const QUrl url = HelpPageUrl();
        QCOMPARE(url.toLocalFile(), QCoreApplication::applicationDirPath() + "/help/index.html");
        QCOMPARE(HelpPageAddress(), url.toString());
        QVERIFY(HelpPageAddress().startsWith("file:///"));
        window.OnOnlineHelp();  // answered Yes
        QCOMPARE(messages.texts(), QStringList{"オンラインヘルプを表示するため\r\n" +
                                               HelpPageAddress() + "\r\nをブラウザで開きますか？"});
        QCOMPARE(messages.requests[0].buttons, MessageButtons::YesNo);
        QCOMPARE(messages.requests[0].icon, MessageIcon::Question);
        QCOMPARE(messages.requests[0].parent, &window);
        QCOMPARE(urls.opened, QList<QUrl>{url});
    }

    void anyOtherAnswerOpensNothing() {
        MessageRecorder messages;
        UrlRecorder urls;
        CMainDlg window;
        const Settings before = gSettings;
        messages.answers = {MessageResult::No, MessageResult::Failed};
        window.OnOnlineHelp();
        window.OnOnlineHelp();
        QCOMPARE(messages.requests.size(), 2);
        QVERIFY(urls.opened.isEmpty());
        QVERIFY(gSettings == before);
    }

    void thePageIsInstalledBesideTheProgram() {
        QFile page(QStringLiteral(QUILLERY_OUTPUT_DIR "/help/index.html"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QByteArray bytes = page.readAll();
        QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString html = utf8(bytes);
        QVERIFY(!utf8.hasError());
        QVERIFY(html.contains("<meta charset=\"utf-8\">"));
        QVERIFY(html.contains("lang=\"ja\""));
        for (const char* topic : {"辞書ファイル設定", "変換", "デバッグ変換", "乱数系列を固定する",
                                  "挿入文節", "総文節", "解析行", "辞書の単語"}) {
            QVERIFY2(html.contains(QString::fromUtf8(topic)), topic);
        }
    }
};

QTEST_MAIN(AboutAndHelpTest)
#include "test_about_and_help.moc"
