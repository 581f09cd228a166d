#include "qt/OnlineHelp.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>

#include "qt/MessageBox.h"
#include "settings/ExecutableFolder.h"

namespace quillery {

namespace {

// Worded like the help prompt, with the path on a line of its own.
const QString kCannotOpenHelpFormat =
    QStringLiteral("オンラインヘルプを開けませんでした。\r\n%1\r\nをブラウザで開いてください。");

UrlOpener& Opener() {
    static UrlOpener opener;
    return opener;
}

}  // namespace

QUrl HelpPageUrl() {
    // Beside the executable, as the settings file and the default dictionary are.
    const std::optional<std::string> folder = ModulePath(kHelpFolderName);
    const QDir help(folder ? QFile::decodeName(folder->c_str()) : QString());
    return QUrl::fromLocalFile(help.filePath(QLatin1String(kHelpPageName)));
}

QString HelpPageAddress() {
    return HelpPageUrl().toString();
}

bool OpenUrl(const QUrl& url) {
    if (Opener()) {
        return Opener()(url);
    }
    // False when no launcher was found; a launcher that starts and then finds no browser
    // is not seen here.
    return QDesktopServices::openUrl(url);
}

void OpenHelpPage(QWidget* parent) {
    const QUrl url = HelpPageUrl();
    if (!OpenUrl(url)) {
        ShowMessage(parent, kCannotOpenHelpFormat.arg(QDir::toNativeSeparators(url.toLocalFile())),
                    MessageButtons::Ok);
    }
}

void SetUrlOpener(UrlOpener opener) {
    Opener() = std::move(opener);
}

}  // namespace quillery
