#include "qt/ResourcesAndTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

static void RegisterIcons() {
    Q_INIT_RESOURCE(icons);
}

namespace quillery {

void InstallResourcesAndTranslations() {
    static bool done = false;
    if (done) {
        return;
    }
    done = true;
    RegisterIcons();
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
    }
}

}  // namespace quillery
