#pragma once

#include <QRect>
#include <QWidget>
#include <algorithm>

namespace quillery {

// The templates sized their labels for the font they were drawn with; a substitute font
// a little wider must not cut a text off. Widens `control` to its text where the text
// does not fit, as far as `rightLimit` (in pixels: the left edge of what lies to its
// right), and never narrows it.
inline void WidenToFitText(QWidget* control, int rightLimit) {
    const QRect rect = control->geometry();
    const int wanted = std::min(control->sizeHint().width(), rightLimit - rect.x());
    if (wanted > rect.width()) {
        control->resize(wanted, rect.height());
    }
}

}  // namespace quillery
