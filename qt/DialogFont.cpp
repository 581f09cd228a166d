#include "qt/DialogFont.h"

#include <QFontMetrics>
#include <QString>
#include <QStringList>
#include <cmath>

namespace quillery {

namespace {
const QString kDialogFamily = QStringLiteral("ＭＳ Ｐゴシック");
}

void InstallDialogFontSubstitutions() {
    QFont::insertSubstitutions(kDialogFamily,
                               {QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                                QStringLiteral("Noto Sans CJK JP")});
}

QFont DialogFont() {
    QFont font(kDialogFamily, 9);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width as Windows measures it for dialogs.
    const int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseWidth_ = std::max(1, static_cast<int>(std::lround(alphabet / 52.0)));
    baseHeight_ = std::max(1, metrics.height());
}

}  // namespace quillery
