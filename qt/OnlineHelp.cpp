#include "qt/OnlineHelp.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>

#include "qt/MessageBox.h"
#include "settings/ExecutableFolder.h"
#include "windowlogic/AboutAndHelp.h"

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
        const QString path = QDir::toNativeSeparators(url.toLocalFile());
        ShowMessage(parent, QString::fromStdU16String(HelpCannotOpen(path.toStdU16String())),
                    MessageButtons::Ok);
    }
}

void SetUrlOpener(UrlOpener opener) {
    Opener() = std::move(opener);
}

}  // namespace quillery
