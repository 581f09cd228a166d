#include <QApplication>
#include <QFileInfo>
#include <QIcon>

#include "app/ConverterApp.h"
#include "qt/DialogFont.h"
#include "qt/ResourcesAndTranslations.h"

using namespace quillery;

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // Message boxes are captioned with the executable's name without extension.
    QApplication::setApplicationName(
        QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    QApplication::setApplicationVersion(QStringLiteral(QUILLERY_VERSION));
    InstallResourcesAndTranslations();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quillery-mini-256.png")));
    InstallDialogFontSubstitutions();
    CConverterApp app;
    app.InitInstance();
    return 0;
}
