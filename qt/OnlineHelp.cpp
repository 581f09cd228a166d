#include "qt/OnlineHelp.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>

#include "settings/ExecutableFolder.h"

namespace quillery {

namespace {

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
