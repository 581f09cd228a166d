// A conversion through the window on the offscreen platform: the time from the Convert
// command to the final status text, and how long the user-interface thread's event loop
// stalls meanwhile, measured by a periodic timer.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_window_conversion [MB ...]
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "engine/Cp932Codec.h"
#include "qt/DialogFont.h"
#include "qt/MainDlg.h"
#include "settings/Settings.h"

using namespace quillery;

namespace {

const char16_t* const kSentences[] = {
    u"吾輩は猫である。",
    u"名前はまだ無い。",
    u"どこで生れたかとんと見当がつかぬ。",
    u"何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。",
    u"春の雨が静かに降り、遠くの山々は白い霞に包まれていた。",
    u"駅前の商店街には、古い喫茶店と新しいパン屋が並んでいる。",
    u"彼女は手紙を読み終えると、窓の外の桜をしばらく眺めていた。",
    u"ｶﾀｶﾅの看板が並ぶ路地を抜けると、小さな神社があった。",
};

QString Prose(qsizetype megabytes) {
    QString text;
    const qsizetype target = megabytes * 1024 * 1024 / 2;  // about two bytes a character
    text.reserve(target + 256);
    unsigned state = 12345;
    while (text.size() < target) {
        for (int i = 0; i < 4; ++i) {
            state = state * 1103515245u + 12345u;
            text += QString::fromUtf16(kSentences[(state >> 16) % std::size(kSentences)]);
        }
        text += QLatin1Char('\n');
    }
    return text;
}

struct Measurement {
    double convertMs = 0;
    double longestStallMs = 0;
    double secondStallMs = 0;
    double setOutputMs = 0;
};

Measurement Measure(CMainDlg& window, const QString& text) {
    window.inputPane()->setPlainText(text);
    window.outputPane()->setPlainText(QString());
    QApplication::processEvents();

    std::vector<qint64> gaps;
    QElapsedTimer clock;
    qint64 lastTick = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        gaps.push_back(now - lastTick);
        lastTick = now;
    });

    bool done = false;
    QElapsedTimer total;
    clock.start();
    ticker.start();
    total.start();
    window.OnConvert();
    while (!done) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        done = !window.runActive() && window.statusField()->text().startsWith(u"変換終了");
    }
    Measurement m;
    m.convertMs = total.elapsed();
    // One more tick, so that a stall in the run's last steps is counted too.
    const std::size_t ticks = gaps.size();
    while (gaps.size() == ticks) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    ticker.stop();
    std::sort(gaps.begin(), gaps.end(), std::greater<>());
    m.longestStallMs = gaps.size() > 0 ? gaps[0] : 0;
    m.secondStallMs = gaps.size() > 1 ? gaps[1] : 0;

    // The step that puts the output into the pane, alone, into an empty pane as in the run.
    const QString output = window.outputPane()->toPlainText();
    window.outputPane()->setPlainText(QString());
    QApplication::processEvents();
    QElapsedTimer set;
    set.start();
    window.outputPane()->setPlainText(output);
    m.setOutputMs = set.elapsed();
    return m;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallDialogFontSubstitutions();
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty())
        sizes = {1, 10, 30};

    CMainDlg window;
    window.resize(800, 600);
    window.show();
    const std::string dictionary = QUILLERY_DEFAULT_DICTIONARY;
    quillery::gSettings.dictionaryPath.Assign(dictionary);
    quillery::gSettings.insertRatio = 4;

    std::printf("%-6s %14s %16s %22s %18s\n", "MB", "convert (ms)", "longest stall",
                "longest other stall", "set output (ms)");
    for (const int mb : sizes) {
        const Measurement m = Measure(window, Prose(mb));
        std::printf("%-6d %14.0f %16.0f %22.0f %18.0f\n", mb, m.convertMs, m.longestStallMs,
                    m.secondStallMs, m.setOutputMs);
    }
    return 0;
}
