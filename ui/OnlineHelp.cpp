#include "ui/OnlineHelp.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>

namespace quillery {

namespace {

UrlOpener& Opener() {
    static UrlOpener opener;
    return opener;
}

}  // namespace

QUrl HelpPageUrl() {
    const QDir folder(QCoreApplication::applicationDirPath());
    return QUrl::fromLocalFile(folder.filePath(QLatin1String(kHelpFolderName) + QLatin1Char('/') +
                                               QLatin1String(kHelpPageName)));
}

QString HelpPageAddress() {
    return HelpPageUrl().toString();
}

void OpenUrl(const QUrl& url) {
    if (Opener()) {
        Opener()(url);
        return;
    }
    QDesktopServices::openUrl(url);
}

void SetUrlOpener(UrlOpener opener) {
    Opener() = std::move(opener);
}

}  // namespace quillery
