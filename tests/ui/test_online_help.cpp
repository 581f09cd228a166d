// The online help command: the prompt, opening the page only on Yes, and the page
// installed beside the program.
#include <QFile>
#include <QStringDecoder>
#include <QTest>

#include "WindowTestSupport.h"
#include "settings/Settings.h"
#include "ui/MainDlg.h"
#include "ui/OnlineHelp.h"

using namespace quillery;

namespace {

// Records every address handed to the system instead of opening it.
class UrlRecorder {
  public:
    UrlRecorder() {
        quillery::SetUrlOpener([this](const QUrl& url) { opened.append(url); });
    }
    ~UrlRecorder() { quillery::SetUrlOpener({}); }

    QList<QUrl> opened;
};

}  // namespace

class OnlineHelpTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        QFile::remove(QCoreApplication::applicationDirPath() + "/QuilleryMini.ini");
        gSettings = quillery::Settings{};
    }

    void theAddressIsThePageBesideTheExecutable() {
        const QUrl url = quillery::HelpPageUrl();
        QVERIFY(url.isLocalFile());
        QCOMPARE(url.toLocalFile(), QCoreApplication::applicationDirPath() + "/help/index.html");
        QCOMPARE(quillery::HelpPageAddress(), url.toString());
    }

    void yesOpensThePageOnceAfterThePrompt() {
        MessageRecorder messages;
        UrlRecorder urls;
        CMainDlg window;
        messages.answers.push_back(MessageResult::Yes);
        window.OnOnlineHelp();
        QCOMPARE(messages.texts(),
                 QStringList{"オンラインヘルプを表示するため\r\n" + quillery::HelpPageAddress() +
                             "\r\nをブラウザで開きますか？"});
        QCOMPARE(messages.requests[0].buttons, MessageButtons::YesNo);
        QCOMPARE(messages.requests[0].icon, MessageIcon::Question);
        QCOMPARE(messages.requests[0].parent, &window);
        QCOMPARE(urls.opened, QList<QUrl>{quillery::HelpPageUrl()});
    }

    void anyOtherAnswerOpensNothing_data() {
        QTest::addColumn<MessageResult>("answer");
        QTest::newRow("no") << MessageResult::No;
        QTest::newRow("box failed") << MessageResult::Failed;
    }
    void anyOtherAnswerOpensNothing() {
        QFETCH(MessageResult, answer);
        MessageRecorder messages;
        UrlRecorder urls;
        CMainDlg window;
        const quillery::Settings before = gSettings;
        messages.answers.push_back(answer);
        window.OnOnlineHelp();
        QCOMPARE(messages.requests.size(), 1);
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

QTEST_MAIN(OnlineHelpTest)
#include "test_online_help.moc"
