#pragma once

#include <QDialog>
#include <QRect>
#include <QString>
#include <QWidget>
#include <algorithm>

#include "qt/DialogFont.h"

namespace quillery {

// A dialog laid out after its template: a fixed size in the dialog font's units, a title
// bar with only the close box, and controls named after their template ids.
class CTemplateDialog : public QDialog {
  public:
    CTemplateDialog(int templateId, const QString& caption, int width, int height);

    // Shows the members in the controls and runs the dialog modally; the members hold
    // the controls' values afterwards only when the result is Accepted.
    int DoModal();

  protected:
    // false: members to controls. true: controls to members, refusing (with a message)
    // what cannot be taken, and then changing no member.
    virtual bool UpdateData(bool saveAndValidate) = 0;

    // Names `control` after its template id and places it, in dialog units.
    void Place(QWidget* control, const char* name, int x, int y, int width, int height);

    const DialogUnits& units() const { return units_; }

  private:
    DialogUnits units_;
};

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
