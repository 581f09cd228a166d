#pragma once

#include <QFont>
#include <QRect>

namespace quillery {

// "ＭＳ Ｐゴシック" at 9 points, shown in a metric-compatible Japanese font where the
// family itself is missing.
void InstallDialogFontSubstitutions();
QFont DialogFont();

// Converts dialog units to pixels through a font's metrics: a horizontal unit is a
// quarter of the average character width, a vertical unit an eighth of the height.
class DialogUnits {
  public:
    explicit DialogUnits(const QFont& font);

    int X(int units) const { return (units * baseWidth_ + 2) / 4; }
    int Y(int units) const { return (units * baseHeight_ + 4) / 8; }
    QRect Rect(int x, int y, int width, int height) const {
        return QRect(X(x), Y(y), X(width), Y(height));
    }
    QSize Size(int width, int height) const { return QSize(X(width), Y(height)); }

  private:
    int baseWidth_;
    int baseHeight_;
};

}  // namespace quillery
