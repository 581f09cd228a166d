// The about box through its command: its text, the icon, and that it changes nothing.
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "DialogTestSupport.h"
#include "WindowTestSupport.h"
#include "settings/Settings.h"
#include "ui/AboutDlg.h"
#include "ui/DialogFont.h"
#include "ui/MainDlg.h"
#include "ui/OnlineHelp.h"

using namespace quillery;

using quillery::CAboutDlg;

class AboutDlgTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        QFile::remove(QCoreApplication::applicationDirPath() + "/QuilleryMini.ini");
        gSettings = quillery::Settings{};
    }

    void theTextHasFourLinesWithTheVersionFilledIn() {
        const QStringList lines = quillery::AboutText("1.00").split("\r\n");
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], QString("Quillery Ver1.00"));
        QVERIFY(!lines[1].isEmpty());
        QCOMPARE(lines[2], QString());
        QCOMPARE(lines[3], quillery::HelpPageAddress());
        QVERIFY(lines[3].startsWith("file:///"));
        QVERIFY(!quillery::AboutText("%s%d").contains("(null)"));
        QVERIFY(quillery::AboutText("%s%d").startsWith("Quillery Ver%s%d\r\n"));
    }

    void showsTheTextReadOnlyAndSelectableAndChangesNothing() {
        MessageRecorder messages;
        CMainDlg window;
        const QString title = window.windowTitle();
        const quillery::Settings before = gSettings;
        bool ran = false;
        WhenModal<CAboutDlg>(ran, [&](CAboutDlg& dialog) {
            QCOMPARE(dialog.windowTitle(), QString("このソフトについて"));
            const DialogUnits units(dialog.font());
            QCOMPARE(dialog.size(), units.Size(169, 96));
            QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
            QVERIFY(dialog.parentWidget() == nullptr);

            auto* text = dialog.findChild<QPlainTextEdit*>("edit1043");
            QCOMPARE(text->geometry(), units.Rect(32, 7, 130, 58));
            QCOMPARE(text->toPlainText().split('\n'), quillery::AboutText("1.00").split("\r\n"));
            QVERIFY(text->isReadOnly());
            QCOMPARE(text->frameShape(), QFrame::NoFrame);

            // Selectable and copyable, not changeable.
            text->setFocus();
            QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
            QCOMPARE(text->textCursor().selectedText().replace(QChar::ParagraphSeparator, '\n'),
                     text->toPlainText());
            QTest::keyClicks(text, "typed");
            QTest::keyClick(text, Qt::Key_Delete);
            QCOMPARE(text->toPlainText().split('\n'), quillery::AboutText("1.00").split("\r\n"));
            // Enter belongs to the text and does not close the box.
            QTest::keyClick(text, Qt::Key_Return);
            QVERIFY(dialog.isVisible());

            auto* icon = dialog.findChild<QLabel*>("icon128");
            QVERIFY(!icon->pixmap().isNull());
            QCOMPARE(icon->pos(), QPoint(units.X(7), units.Y(7)));

            auto* ok = dialog.findChild<QPushButton*>("button1");
            QCOMPARE(ok->text(), QString("OK"));
            QVERIFY(ok->isDefault());
            QCOMPARE(ok->geometry(), units.Rect(112, 75, 50, 14));
            QCOMPARE(ObjectNames(TabOrder(ok)), QStringList({"button1", "edit1043"}));
            QTest::mouseClick(ok, Qt::LeftButton);
            QVERIFY(!dialog.isVisible());
        });
        window.OnAbout();
        QVERIFY(ran);
        QVERIFY(gSettings == before);
        QCOMPARE(window.windowTitle(), title);
        QVERIFY(messages.requests.isEmpty());
    }

    void theCloseBoxEndsItToo() {
        CMainDlg window;
        bool ran = false;
        WhenModal<CAboutDlg>(ran, [](CAboutDlg& dialog) {
            dialog.close();
            QVERIFY(!dialog.isVisible());
        });
        window.OnAbout();
        QVERIFY(ran);
    }
};

QTEST_MAIN(AboutDlgTest)
#include "test_about_dlg.moc"
