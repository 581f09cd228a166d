// Drives the real main window on the offscreen platform for scripts/try-bad-inputs.sh.
//
//   WindowTrial settings
//       Opens the window (which loads QuilleryMini.ini beside this program), prints the
//       record it loaded, closes it and answers Yes (which saves the file).
//   WindowTrial convert DICTIONARY-NAME-FILE INPUT-FILE
//       Takes the dictionary path as the raw code page 932 bytes of the first file (as the
//       settings file would hold it), puts the code page 932 text of the second into the
//       input pane, runs Convert and prints every message, the status text, the output's
//       length and the longest stall of the event loop.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "engine/Cp932Codec.h"
#include "qt/MainDlg.h"
#include "qt/MessageBox.h"
#include "settings/Settings.h"

using namespace quillery;

namespace {

QByteArray ReadAll(const char* path) {
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", path);
        std::exit(2);
    }
    return file.readAll();
}

void Print(const char* label, const QString& text) {
    std::printf("%s: %s\n", label, text.toUtf8().constData());
}

int SettingsTrial() {
    CMainDlg window;
    window.show();
    QApplication::processEvents();
    const quillery::Settings& s = gSettings;
    const std::string path = s.dictionaryPath.Bytes();
    Print("dictionaryPath", QString::fromStdU16String(ThreadCodec().Decode(path)));
    std::printf(
        "insertRatio=%d windowRatio=%d blackBackground=%d editReadOnly=%d window=%d,%d %dx%d "
        "insertMark=%d useFixedSeed=%d randomSeed=%u newestRandomSeed=%d\n",
        s.insertRatio, s.windowRatio, s.blackBackground, s.editReadOnly, s.windowX, s.windowY,
        s.windowWidth, s.windowHeight, s.insertMark, s.useFixedSeed, s.randomSeed,
        s.newestRandomSeed);
    Print("title", window.windowTitle());
    SetMessageHandler([](const MessageRequest& request) {
        Print("message", request.text);
        return MessageResult::Yes;
    });
    QElapsedTimer clock;
    clock.start();
    window.close();
    std::printf("closed: %s after %lld ms\n", window.isVisible() ? "no" : "yes",
                static_cast<long long>(clock.elapsed()));
    return 0;
}

int ConvertTrial(const char* nameFile, const char* inputFile) {
    CMainDlg window;
    window.resize(800, 600);
    window.show();
    QApplication::processEvents();
    const QByteArray name = ReadAll(nameFile);
    gSettings.dictionaryPath.Assign(std::string_view(name.constData(), name.size()));
    gSettings.insertRatio = 4;
    const QByteArray input = ReadAll(inputFile);
    window.inputPane()->setPlainText(QString::fromStdU16String(
        ThreadCodec().Decode(std::string_view(input.constData(), input.size()))));
    SetMessageHandler([](const MessageRequest& request) {
        Print("message", request.text);
        return MessageResult::Ok;
    });

    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    clock.start();
    ticker.start();
    window.OnConvert();
    // The run ends with its status text, or with a message and no run at all.
    do {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    } while (window.runActive() || clock.elapsed() < 200);
    QApplication::processEvents();
    Print("status", window.statusField()->text());
    std::printf("output: %lld characters; %lld ms; longest stall %lld ms\n",
                static_cast<long long>(window.outputPane()->toPlainText().size()),
                static_cast<long long>(clock.elapsed()), static_cast<long long>(longest));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QuilleryMini"));
    if (argc == 2 && std::string_view(argv[1]) == "settings") {
        return SettingsTrial();
    }
    if (argc == 4 && std::string_view(argv[1]) == "convert") {
        return ConvertTrial(argv[2], argv[3]);
    }
    std::fprintf(stderr, "usage: WindowTrial settings | convert NAME-FILE INPUT-FILE\n");
    return 2;
}
