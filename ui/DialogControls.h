#pragma once

#include <QDialog>
#include <QRect>
#include <QString>
#include <QWidget>
#include <algorithm>

#include "ui/DialogFont.h"

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

// Names, captions and sizes a dialog after its template, in the dialog font; returns the
// dialog units its controls are placed in.
inline DialogUnits SetUpTemplateDialog(QDialog& dialog, int templateId, const QString& caption,
                                       int width, int height) {
    dialog.setObjectName(QStringLiteral("dialog%1").arg(templateId));
    dialog.setWindowTitle(caption);
    dialog.setFont(DialogFont());
    const DialogUnits units(dialog.font());
    dialog.setFixedSize(units.Size(width, height));
    return units;
}

}  // namespace quillery
